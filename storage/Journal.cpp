#include "storage/Journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "storage/FaultInjection.h"
#include "storage/FileIo.h"
#include "storage/JournalRanges.h"
#include "storage/RomFile.h"

namespace slamwise {

namespace {

using journal::RangeRead;
using journal::Stretch;

constexpr const char* kJournalSuffix = "-journal";
const char* const kLeftAlone =
    " It was left alone. Changes to this file cannot be saved while it is there: move it away (or "
    "delete it if you are sure it is not needed), then open the file again.";
const char* const kTryAgain = " The file was not opened; try to open it again.";

bool sameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool exists(const std::string& path) {
    struct stat info {};
    return sys::lstat(path.c_str(), &info) == 0 || errno != ENOENT;
}

// Fills the journal of the edit: for each stretch, the bytes now in the file and the bytes the
// change leaves there. On a failure, failed is the stretch that could not be read.
Status journalOf(int imageFd, const Edit& edit, const std::vector<Stretch>& stretches,
                 Journal& journal, std::size_t& failed) {
    const std::uint64_t header = journal.identity.headerSize;
    journal.ranges.reserve(stretches.size());
    std::vector<RangeRead> reads;
    reads.reserve(stretches.size());
    for (const Stretch& stretch : stretches) {
        journal.ranges.push_back(
            {stretch.begin, std::vector<std::uint8_t>(stretch.end - stretch.begin), {}});
        reads.push_back({stretch.begin, journal.ranges.back().before});
    }
    if (Status status = journal::readRanges(imageFd, reads, failed); !status) {
        return status;
    }
    for (std::size_t k = 0; k < stretches.size(); ++k) {
        JournalRange& range = journal.ranges[k];
        range.after = range.before;
        for (std::size_t w : stretches[k].writes) {
            const Edit::Write& write = edit.writes()[w];
            std::copy(write.bytes.begin(), write.bytes.end(),
                      range.after.begin() +
                          static_cast<std::ptrdiff_t>(header + write.offset - range.fileOffset));
        }
    }
    return {};
}

}  // namespace

std::string JournalFile::pathFor(const std::string& imagePath) {
    return sys::realPath(imagePath) + kJournalSuffix;
}

JournalFile::JournalFile(int imageFd, const std::string& imagePath, const JournalIdentity& identity)
    : imageFd_(imageFd),
      imagePath_(imagePath),
      path_(pathFor(imagePath)),
      folder_(folderOf(path_)),
      identity_(identity) {
    if (imagePath + kJournalSuffix != path_) {
        otherPath_ = imagePath + kJournalSuffix;
    }
}

JournalFile::JournalFile(JournalFile&& other) noexcept
    : imageFd_(std::exchange(other.imageFd_, -1)),
      imagePath_(std::move(other.imagePath_)),
      path_(std::move(other.path_)),
      otherPath_(std::move(other.otherPath_)),
      folder_(std::move(other.folder_)),
      folderFd_(std::exchange(other.folderFd_, -1)),
      identity_(other.identity_),
      unusable_(std::move(other.unusable_)),
      seenSize_(other.seenSize_),
      seenModified_(other.seenModified_) {}

JournalFile& JournalFile::operator=(JournalFile&& other) noexcept {
    if (this != &other) {
        closeFolder();
        imageFd_ = std::exchange(other.imageFd_, -1);
        imagePath_ = std::move(other.imagePath_);
        path_ = std::move(other.path_);
        otherPath_ = std::move(other.otherPath_);
        folder_ = std::move(other.folder_);
        folderFd_ = std::exchange(other.folderFd_, -1);
        identity_ = other.identity_;
        unusable_ = std::move(other.unusable_);
        seenSize_ = other.seenSize_;
        seenModified_ = other.seenModified_;
    }
    return *this;
}

JournalFile::~JournalFile() {
    closeFolder();
}

void JournalFile::closeFolder() {
    if (folderFd_ >= 0) {
        sys::close(folderFd_);
        folderFd_ = -1;
    }
}

std::optional<std::string> JournalFile::found() const {
    if (exists(path_)) {
        return path_;
    }
    if (!otherPath_.empty() && exists(otherPath_)) {
        return otherPath_;
    }
    return std::nullopt;
}

void JournalFile::rememberFileState() {
    struct stat info {};
    if (sys::fstat(imageFd_, &info) == 0) {
        seenSize_ = static_cast<std::uint64_t>(info.st_size);
        seenModified_ = info.st_mtim;
    }
}

void JournalFile::removeLeftovers() {
    // A journal that never got its final name was never in force: the image is untouched.
    (void)sys::unlink(temporaryPathFor(path_).c_str());
    if (!otherPath_.empty()) {
        (void)sys::unlink(temporaryPathFor(otherPath_).c_str());
    }
}

// Reads the journal lying beside the file, if any, and tells whether it can be undone. A
// failure: the image could not be read.
Status JournalFile::examine(Finding& finding) const {
    finding = {};
    std::optional<std::string> where = found();
    if (!where) {
        return {};
    }
    finding.where = *where;
    Result<std::vector<std::uint8_t>> content =
        readWholeFile(*where, kJournalMaxSize, Links::DoNotFollow);
    std::optional<Journal> journal = content ? decodeJournal(*content) : std::nullopt;
    auto unusable = [&](const std::string& why) {
        finding.kind = Finding::Unusable;
        finding.why = "The journal " + quoted(*where) + " beside this file " + why + kLeftAlone;
        return Status();
    };
    if (!journal) {
        return unusable("is damaged or unreadable, so it was not used.");
    }
    if (journal->identity != identity_) {
        return unusable("belongs to another file, so it was not used.");
    }
    std::vector<std::vector<std::uint8_t>> current(journal->ranges.size());
    std::vector<RangeRead> reads;
    reads.reserve(journal->ranges.size());
    for (std::size_t k = 0; k < journal->ranges.size(); ++k) {
        current[k].resize(journal->ranges[k].before.size());
        reads.push_back({journal->ranges[k].fileOffset, current[k]});
    }
    std::size_t failed = 0;
    if (Status status = journal::readRanges(imageFd_, reads, failed); !status) {
        return Status::failure("Cannot read " + quoted(imagePath_) + ": " + status.message() + ".");
    }
    if (!fitsInterruptedChange(*journal, current)) {
        return unusable(
            "records a change that was interrupted, but the file has been changed since, so the "
            "journal was not used.");
    }
    finding.kind = Finding::Undoable;
    finding.journal = std::move(*journal);
    return {};
}

Status JournalFile::recover(std::string& notice) {
    removeLeftovers();
    Finding finding;
    if (Status status = examine(finding); !status) {
        return Status::failure(status.message() + kTryAgain);
    }
    if (finding.kind == Finding::Unusable) {
        notice = finding.why;
        unusable_ = Status::failure(finding.why);
    }
    return finding.kind == Finding::Undoable ? undo(finding, notice) : Status();
}

Status JournalFile::inspect(std::string& notice) {
    Finding finding;
    if (Status status = examine(finding); !status) {
        return status;
    }
    if (finding.kind == Finding::Undoable) {
        return Status::failure(quoted(imagePath_) + " has an unfinished change recorded in " +
                               quoted(finding.where) + ". Make " + quoted(imagePath_) +
                               " writable so that the change can be undone, then try again.");
    }
    if (finding.kind == Finding::Unusable) {
        notice = finding.why;
        unusable_ = Status::failure(finding.why);
    }
    return {};
}

Status JournalFile::undo(const Finding& finding, std::string& notice) {
    const std::string cannotUndo =
        quoted(imagePath_) + " holds an unfinished change that could not be undone: ";
    for (const JournalRange& range : finding.journal.ranges) {
        if (Status status = writeAt(imageFd_, range.fileOffset, range.before); !status) {
            return Status::failure(cannotUndo + status.message() + "." + kTryAgain);
        }
    }
    if (sys::fdatasync(imageFd_) != 0) {
        return Status::failure(cannotUndo + osReason(errno) + "." + kTryAgain);
    }
    if (sys::unlink(finding.where.c_str()) != 0 && errno != ENOENT) {
        return Status::failure("The unfinished change to " + quoted(imagePath_) +
                               " was undone, but its journal " + quoted(finding.where) +
                               " cannot be removed: " + osReason(errno) + "." + kTryAgain);
    }
    // The journal would only undo the same bytes again.
    (void)syncFolder(folderOf(finding.where), folderFd_);
    notice = "The last change to " + quoted(imagePath_) +
             " was interrupted before it was complete (the program or the computer stopped). It "
             "has been undone: the file is as it was before that change.";
    return {};
}

Status JournalFile::checkUnchanged() const {
    const std::string reopen = " Nothing was written. Close the ROM and open it again.";
    // The path still leading to the open file, its size and time tell the file's state: one
    // look is enough.
    struct stat atPath {};
    if (sys::stat(imagePath_.c_str(), &atPath) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return Status::failure(quoted(imagePath_) +
                                   " was deleted, renamed or moved by another program after it "
                                   "was opened here." +
                                   reopen);
        }
        return Status::failure("Cannot examine " + quoted(imagePath_) + ": " + osReason(errno) +
                               "." + reopen);
    }
    if (atPath.st_dev != identity_.device || atPath.st_ino != identity_.inode) {
        return Status::failure(quoted(imagePath_) +
                               " was replaced by another file after it was opened here." + reopen);
    }
    if (static_cast<std::uint64_t>(atPath.st_size) != seenSize_ ||
        !sameTime(atPath.st_mtim, seenModified_)) {
        return Status::failure(quoted(imagePath_) +
                               " was changed by another program after it was opened here." +
                               reopen);
    }
    return {};
}

Status JournalFile::checkNoJournal() const {
    const std::optional<std::string> where = found();
    if (!where) {
        return {};
    }
    Result<std::vector<std::uint8_t>> content =
        readWholeFile(*where, kJournalMaxSize, Links::DoNotFollow);
    std::optional<Journal> journal = content ? decodeJournal(*content) : std::nullopt;
    if (journal && journal->identity == identity_) {
        return Status::failure("Nothing was written: an earlier change to " + quoted(imagePath_) +
                               " still has to be undone. Close the ROM and open it again.");
    }
    return Status::failure("Nothing was written to " + quoted(imagePath_) + ": the file " +
                           quoted(*where) +
                           " beside it is not its journal, and saving would overwrite it. Move "
                           "it away, then try again.");
}

// Puts the journal in force: written under its temporary name, synced, renamed, folder synced.
Status JournalFile::save(const Journal& journal) {
    const std::vector<std::uint8_t> content = encodeJournal(journal);
    if (Status status = writeFileAtomically(path_, content, 0644, &folderFd_); !status) {
        (void)sys::unlink(path_.c_str());  // when in place, it holds the current bytes: harmless
        return Status::failure("Nothing was written to " + quoted(imagePath_) +
                               ": the journal that protects the change cannot be saved as " +
                               quoted(path_) + ": " + status.message() +
                               ". The folder of the file must be writable and have some free "
                               "space.");
    }
    return {};
}

Status JournalFile::rollBack(const Journal& journal, const std::string& whatFailed) {
    std::string undoFailure;
    for (auto range = journal.ranges.rbegin(); range != journal.ranges.rend(); ++range) {
        if (Status status = writeAt(imageFd_, range->fileOffset, range->before); !status) {
            undoFailure = status.message();
            break;
        }
    }
    if (undoFailure.empty() && sys::fdatasync(imageFd_) != 0) {
        undoFailure = osReason(errno);
    }
    rememberFileState();
    if (!undoFailure.empty()) {
        // The journal stays: the next opening puts the old bytes back.
        return Status::failure(whatFailed + " The change could not be undone either (" +
                               undoFailure + "). It will be undone the next time " +
                               quoted(imagePath_) + " is opened: close the ROM and open it again.");
    }
    if (sys::unlink(path_.c_str()) != 0 && errno != ENOENT) {
        return Status::failure(whatFailed +
                               " The change was undone: the file is as it was "
                               "before. Its journal " +
                               quoted(path_) + " cannot be removed (" + osReason(errno) +
                               "); close the ROM and open it again to remove it.");
    }
    (void)syncFolder(folder_,
                     folderFd_);  // should the journal come back, it holds these same bytes
    return Status::failure(whatFailed + " The change was undone: the file is as it was before.");
}

Status JournalFile::check() const {
    if (Status status = checkUnchanged(); !status) {
        return status;
    }
    return checkNoJournal();
}

Status JournalFile::apply(const Edit& edit, std::vector<JournalRange>* written) {
    if (Status status = check(); !status) {
        return status;
    }

    // Each stretch is one range of the journal and one write of the file.
    const std::uint64_t header = identity_.headerSize;
    const std::vector<Stretch> stretches = journal::stretchesOf(edit, header);
    auto imageOffset = [&](const Stretch& stretch) {
        return hexOffset(static_cast<std::uint32_t>(stretch.begin - header));
    };
    Journal journal{identity_, {}};
    std::size_t failed = 0;
    if (Status status = journalOf(imageFd_, edit, stretches, journal, failed); !status) {
        return Status::failure("Nothing was written: cannot read the bytes at offset " +
                               imageOffset(stretches[failed]) + " of " + quoted(imagePath_) +
                               " that the change would replace: " + status.message() + ".");
    }
    if (Status status = save(journal); !status) {
        return status;
    }

    for (std::size_t k = 0; k < stretches.size(); ++k) {
        const JournalRange& range = journal.ranges[k];
        if (Status status = writeAt(imageFd_, range.fileOffset, range.after); !status) {
            return rollBack(journal, "Cannot write at offset " + imageOffset(stretches[k]) +
                                         " of " + quoted(imagePath_) + ": " + status.message() +
                                         ".");
        }
    }
    if (sys::fdatasync(imageFd_) != 0) {
        return rollBack(journal, "Cannot save the changes to " + quoted(imagePath_) +
                                     " to the disk: " + osReason(errno) + ".");
    }
    if (sys::unlink(path_.c_str()) != 0) {
        return rollBack(
            journal, "Cannot remove the journal " + quoted(path_) + ": " + osReason(errno) + ".");
    }
    // The change is complete and on the disk. Should the removal of the journal not be durable,
    // the worst a power cut can do is bring it back, and the next opening then undoes the
    // whole change: still all or nothing.
    (void)syncFolder(folder_, folderFd_);
    rememberFileState();
    if (written != nullptr) {
        *written = std::move(journal.ranges);
    }
    return {};
}

}  // namespace slamwise
