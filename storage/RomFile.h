#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "storage/Edit.h"
#include "storage/Journal.h"
#include "storage/Result.h"

namespace slamwise {

// The one door to the open ROM image. Every read and write of the program passes through it.
//
// Offsets are image offsets: when the file starts with a 512-byte copier header (file size
// modulo 32 KiB is 512), the header is skipped, so offset 0 is the first byte of the game.
// Reads past the end of the file yield zeros; writes past the end are refused, so a file
// that is not a ROM image is never lengthened.
//
// Changes are all-or-nothing. apply() first saves the bytes it is about to overwrite in a
// journal beside the image ("<image>-journal"), then writes, syncs and removes the journal. If
// anything fails the old bytes are put back; if the program or the computer stops halfway, the
// next open() puts them back. While open for writing, the file is locked against a second
// writer, and apply() refuses to write when another program has changed, replaced or deleted
// the file since it was opened here.
class RomFile {
  public:
    static constexpr std::uint32_t kCopierHeaderSize = 512;

    enum class Access { ReadWrite, ReadOnly };

    // Opens an existing regular file. Never creates a file. For writing, it takes the lock and
    // undoes an interrupted change recorded in the journal (see openingNotice()). A read-only
    // open fails while a journal that can be undone lies beside the file; one that cannot be
    // used is told (openingNotice(), journalUnusable()).
    static Result<RomFile> open(const std::string& path, Access access = Access::ReadWrite);

    // "<real path>-journal": where the journal of a change to the file at path lies, symbolic
    // links resolved.
    static std::string journalPathFor(const std::string& path);

    RomFile(RomFile&& other) noexcept;
    RomFile& operator=(RomFile&& other) noexcept;
    RomFile(const RomFile&) = delete;
    RomFile& operator=(const RomFile&) = delete;
    ~RomFile();

    const std::string& path() const { return path_; }
    std::string journalPath() const { return journal_.path(); }
    std::uint32_t headerSize() const { return headerSize_; }
    bool hasCopierHeader() const { return headerSize_ != 0; }
    // Size of the file as it was opened, the copier header included.
    std::uint64_t fileSize() const { return fileSize_; }
    // Size of the game image, without a copier header.
    std::uint64_t imageSize() const { return fileSize_ - headerSize_; }
    bool writable() const { return access_ == Access::ReadWrite; }
    // What opening had to tell the user (empty when nothing), for instance that an interrupted
    // change was undone.
    const std::string& openingNotice() const { return openingNotice_; }
    // Why the journal found beside the file at opening cannot be used; success when there was
    // none or it was undone. While it lies there, nothing can be written.
    const Status& journalUnusable() const { return journal_.unusable(); }

    Result<std::uint8_t> read8(std::uint32_t offset) const;
    Result<std::uint16_t> read16(std::uint32_t offset) const;  // little-endian
    Status read(std::uint32_t offset, std::span<std::uint8_t> out) const;

    // Writes every part of the edit in order as one change: all of it reaches the file, or none
    // of it does (the failure then says what went wrong and that the file is as it was). The
    // whole edit is checked against the end of the file before anything is written. Parts a few
    // bytes apart reach the file as one write of the stretch that holds them, the bytes between
    // them written back as they are.
    // written, when given, receives the ranges of a complete change: the bytes it replaced and
    // the bytes it wrote, at file offsets (for undoing it later).
    Status apply(const Edit& edit, std::vector<JournalRange>* written = nullptr);
    // The checks apply() makes before it writes anything, for a dry run: the file is open for
    // writing, holds every byte of the edit, was not changed by others, and has no journal beside
    // it.
    Status check(const Edit& edit) const;

  private:
    RomFile(int fd, std::string path, std::uint64_t fileSize, Access access);
    void close();
    Status lookAtJournal();
    Status takeOver();

    int fd_ = -1;
    std::string path_;
    std::uint64_t fileSize_ = 0;
    std::uint32_t headerSize_ = 0;
    Access access_ = Access::ReadWrite;
    std::string openingNotice_;
    JournalFile journal_;  // every change goes through it
};

// "$1FB8CF": the way offsets are shown to the user.
std::string hexOffset(std::uint32_t offset);

}  // namespace slamwise
