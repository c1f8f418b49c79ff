#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "storage/Edit.h"
#include "storage/Result.h"

namespace slamwise {

// The journal of one change: the bytes of the image that the change is about to overwrite (and
// the bytes it writes), kept in a small file beside the image until the change is complete. If
// the program or the computer stops in the middle, the next opening puts the old bytes back,
// provided the file still holds only old bytes and bytes of the change.
//
// Layout (integers little-endian):
//   8 bytes  magic "SLWJRNL1"
//   u32      format version (1)
//   u32      number of ranges
//   u64      device, u64 inode, u64 file size, u32 copier-header size, u32 zero
//   ranges   u64 file offset, u32 length, the old bytes, then the new bytes
//   u64      64-bit FNV-1a checksum of everything before it
struct JournalIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t fileSize = 0;
    std::uint32_t headerSize = 0;
    bool operator==(const JournalIdentity&) const = default;
};

struct JournalRange {
    std::uint64_t fileOffset = 0;      // from the start of the file, copier header included
    std::vector<std::uint8_t> before;  // what the change replaces
    std::vector<std::uint8_t> after;   // what the change writes, as long as before
    bool operator==(const JournalRange&) const = default;
};

struct Journal {
    JournalIdentity identity;
    std::vector<JournalRange> ranges;
    bool operator==(const Journal&) const = default;
};

inline constexpr std::uint32_t kJournalVersion = 1;
// A journal larger than this is not one of ours (the largest change writes a few KiB).
inline constexpr std::size_t kJournalMaxSize = 16 * 1024 * 1024;

std::vector<std::uint8_t> encodeJournal(const Journal& journal);

// The journal held by the bytes, or nothing when they are not an intact journal of this format
// (wrong magic or version, bad checksum, truncated, ranges past the recorded file size).
std::optional<Journal> decodeJournal(std::span<const std::uint8_t> bytes);

// Whether the bytes now at the journal's ranges (current[k] holding range k) can have been left by
// the interrupted change: every byte is its old value or a value the change writes there. When
// not, the file was changed since, and putting the old bytes back would damage it.
bool fitsInterruptedChange(const Journal& journal,
                           const std::vector<std::vector<std::uint8_t>>& current);

std::uint64_t fnv1a64(std::span<const std::uint8_t> bytes);

// The journal beside an open image, and the steps that make every change to the image
// all-or-nothing.
//
// The journal belongs to the file, not to the name it was opened by: it lies beside the file's
// real path (symbolic links resolved). One left beside the link by an older version is still
// found and used at opening.
//
// A change (apply): the old and the new bytes of every range go to "<image>-journal.tmp", which
// is synced and renamed to "<image>-journal", and the folder is synced: from then on the journal
// is in force. Then the ranges are written, the image is synced, the journal is removed and the
// folder synced again. A failure on the way puts the old bytes back; should that fail too, the
// journal stays and the next opening puts them back.
//
// At opening (recover): the old bytes of an interrupted change are put back, provided the file
// still holds only old bytes and bytes of that change. A damaged or foreign journal, or one of a
// file changed since, is left alone (see unusable()) and blocks every change until it is moved
// away. A journal that never got its final name was never in force and is removed.
//
// Before each change it makes sure that no other program has changed, replaced or deleted the
// file since this program last left it.
class JournalFile {
  public:
    JournalFile() = default;
    // The image open as imageFd (not owned) at imagePath (as the user named it); identity as the
    // file was opened.
    JournalFile(int imageFd, const std::string& imagePath, const JournalIdentity& identity);
    JournalFile(JournalFile&& other) noexcept;
    JournalFile& operator=(JournalFile&& other) noexcept;
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;
    ~JournalFile();

    // "<real path of imagePath>-journal" (the path itself when it cannot be resolved).
    static std::string pathFor(const std::string& imagePath);
    const std::string& path() const { return path_; }
    // Where a journal of this file lies, or nothing when there is none.
    std::optional<std::string> found() const;

    // Undoes an interrupted change at opening. What the user must be told goes to notice (left
    // as it is when there is nothing to tell). A failure means the file should not be used: it
    // could not be read, or the undo could not be completed (the journal then stays).
    Status recover(std::string& notice);
    // The same look for a file opened for reading only, which changes nothing: a journal that can
    // be undone is a failure (the file must be opened for writing first); one that cannot be used
    // is told in notice and by unusable().
    Status inspect(std::string& notice);
    // Removes what a change that never came into force left (the journal's temporary file).
    // Only for the holder of the writer lock.
    void removeLeftovers();
    // Why the journal lying beside the file cannot be used (left alone at opening), or success
    // when no such journal was found.
    const Status& unusable() const { return unusable_; }

    // Takes the file as it is now for the state this program left it in.
    void rememberFileState();

    // Whether a change may be written now: the file was not changed by others since this
    // program last left it, and no journal lies beside it.
    Status check() const;
    // Writes every part of the edit (image offsets) as one change, as RomFile::apply says. When
    // written is given, a complete change leaves its ranges there (old and new bytes).
    Status apply(const Edit& edit,
                 std::vector<JournalRange>* written = nullptr);

  private:
    // What opening finds beside the file.
    struct Finding {
        enum Kind { None, Undoable, Unusable } kind = None;
        std::string where;  // the journal's path
        Journal journal;    // Undoable: the journal to undo
        std::string why;    // Unusable: the notice for the user
    };
    Status examine(Finding& finding) const;
    Status undo(const Finding& finding, std::string& notice);
    Status checkUnchanged() const;
    Status checkNoJournal() const;
    Status save(const Journal& journal);
    Status rollBack(const Journal& journal, const std::string& whatFailed);
    void closeFolder();

    int imageFd_ = -1;
    std::string imagePath_;
    std::string path_;       // beside the real file
    std::string otherPath_;  // beside the name the file was opened by, when that differs
    std::string folder_;
    int folderFd_ = -1;  // opened at the first sync of the folder, kept until the file is closed
    JournalIdentity identity_;
    Status unusable_;
    // The file as this program last left it, to notice changes made by others.
    std::uint64_t seenSize_ = 0;
    timespec seenModified_{};
};

}  // namespace slamwise
