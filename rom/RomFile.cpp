#include "rom/RomFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "rom/FaultInjection.h"

namespace slamwise {

namespace {

constexpr const char* kJournalSuffix = "-journal";
constexpr const char* kJournalTempSuffix = "-journal.tmp";

std::string osReason(int error) {
    return std::system_category().message(error);
}

std::string hexNumber(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
    return text;
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

bool sameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// Makes a rename or removal in the folder durable.
Status syncFolder(const std::string& folder) {
    int fd = sys::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return Status::failure(osReason(errno));
    }
    int result = sys::fsync(fd);
    int error = errno;
    ::close(fd);
    // Some file systems cannot sync a folder; that is no reason to refuse a change.
    if (result != 0 && error != EINVAL && error != ENOTSUP) {
        return Status::failure(osReason(error));
    }
    return {};
}

// Reads a whole small file; nothing when it cannot be read or is larger than the limit.
std::optional<std::vector<std::uint8_t>> readSmallFile(const std::string& path, std::size_t limit) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> content;
    std::uint8_t buffer[4096];
    while (content.size() <= limit) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            ::close(fd);
            if (got < 0) {
                return std::nullopt;
            }
            return content;
        }
        content.insert(content.end(), buffer, buffer + got);
    }
    ::close(fd);
    return std::nullopt;
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 || errno != ENOENT;
}

}  // namespace

std::string hexOffset(std::uint32_t offset) {
    return "$" + hexNumber(offset);
}

std::string RomFile::journalPathFor(const std::string& path) {
    return path + kJournalSuffix;
}

Result<RomFile> RomFile::open(const std::string& path, Access access) {
    // Look before opening: opening a device or a pipe can have effects of its own.
    struct stat before {};
    if (::stat(path.c_str(), &before) == 0 && !S_ISREG(before.st_mode)) {
        return Status::failure("\"" + path + "\" is " +
                               (S_ISDIR(before.st_mode) ? "a directory" : "not a regular file") +
                               ", not a ROM image.");
    }
    int flags = (access == Access::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NOCTTY;
    int fd = ::open(path.c_str(), flags);
    if (fd < 0) {
        return Status::failure("Cannot open " + quoted(path) + " for " +
                               (access == Access::ReadWrite ? "reading and writing" : "reading") +
                               ": " + osReason(errno) + ".");
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        int error = errno;
        ::close(fd);
        return Status::failure("Cannot examine " + quoted(path) + ": " + osReason(error) + ".");
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return Status::failure(quoted(path) + " is not a regular file.");
    }
    RomFile rom(fd, path, static_cast<std::uint64_t>(info.st_size), access);
    rom.device_ = info.st_dev;
    rom.inode_ = info.st_ino;

    if (access == Access::ReadOnly) {
        if (exists(rom.journalPath())) {
            return Status::failure(
                quoted(path) + " has an unfinished change recorded in " +
                quoted(rom.journalPath()) +
                ". Open the file for reading and writing so that the change can be undone "
                "first.");
        }
    } else {
        // One writer at a time: the lock belongs to this open file and ends with it.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK) {
                return Status::failure(quoted(path) +
                                       " is already open in another window or program. Close it "
                                       "there first, then open it here.");
            }
            return Status::failure("Cannot lock " + quoted(path) +
                                   " against other programs: " + osReason(errno) + ".");
        }
        if (Status recovered = rom.recoverJournal(); !recovered) {
            return recovered;
        }
        // A journal that never got its final name was never in force: the image is untouched.
        ::unlink(rom.journalTempPath().c_str());
    }
    rom.rememberFileState();
    return rom;
}

RomFile::RomFile(int fd, std::string path, std::uint64_t fileSize, Access access)
    : fd_(fd), path_(std::move(path)), fileSize_(fileSize), access_(access) {
    // Copier devices put a 512-byte header in front of images that are whole 32 KiB banks.
    headerSize_ = (fileSize_ % 0x8000 == kCopierHeaderSize) ? kCopierHeaderSize : 0;
}

RomFile::RomFile(RomFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      fileSize_(other.fileSize_),
      headerSize_(other.headerSize_),
      access_(other.access_),
      openingNotice_(std::move(other.openingNotice_)),
      device_(other.device_),
      inode_(other.inode_),
      seenSize_(other.seenSize_),
      seenModified_(other.seenModified_) {}

RomFile& RomFile::operator=(RomFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        fileSize_ = other.fileSize_;
        headerSize_ = other.headerSize_;
        access_ = other.access_;
        openingNotice_ = std::move(other.openingNotice_);
        device_ = other.device_;
        inode_ = other.inode_;
        seenSize_ = other.seenSize_;
        seenModified_ = other.seenModified_;
    }
    return *this;
}

RomFile::~RomFile() {
    close();
}

void RomFile::close() {
    if (fd_ >= 0) {
        ::close(fd_);  // also releases the lock
        fd_ = -1;
    }
}

JournalIdentity RomFile::identity() const {
    return {device_, inode_, fileSize_, headerSize_};
}

std::string RomFile::journalTempPath() const {
    return path_ + kJournalTempSuffix;
}

std::string RomFile::folder() const {
    std::size_t slash = path_.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path_.substr(0, slash);
}

void RomFile::rememberFileState() {
    struct stat info {};
    if (::fstat(fd_, &info) == 0) {
        seenSize_ = static_cast<std::uint64_t>(info.st_size);
        seenModified_ = info.st_mtim;
    }
}

Status RomFile::readAt(std::uint64_t position, std::span<std::uint8_t> out) const {
    std::fill(out.begin(), out.end(), std::uint8_t{0});
    std::size_t done = 0;
    while (done < out.size()) {
        ssize_t got = sys::pread(fd_, out.data() + done, out.size() - done,
                                 static_cast<off_t>(position + done));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Status::failure(osReason(errno));
        }
        if (got == 0) {
            break;  // end of file: the rest reads as zeros
        }
        done += static_cast<std::size_t>(got);
    }
    return {};
}

Status RomFile::writeAt(std::uint64_t position, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t put = sys::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                                  static_cast<off_t>(position + done));
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return Status::failure(osReason(put < 0 ? errno : ENOSPC));
        }
        done += static_cast<std::size_t>(put);
    }
    return {};
}

Status RomFile::read(std::uint32_t offset, std::span<std::uint8_t> out) const {
    if (Status status = readAt(std::uint64_t{headerSize_} + offset, out); !status) {
        return Status::failure("Cannot read " + std::to_string(out.size()) + " byte(s) at offset " +
                               hexOffset(offset) + " of " + quoted(path_) + ": " +
                               status.message() + ".");
    }
    return {};
}

Result<std::uint8_t> RomFile::read8(std::uint32_t offset) const {
    std::uint8_t byte = 0;
    if (Status status = read(offset, {&byte, 1}); !status) {
        return status;
    }
    return byte;
}

Result<std::uint16_t> RomFile::read16(std::uint32_t offset) const {
    std::uint8_t bytes[2] = {};
    if (Status status = read(offset, bytes); !status) {
        return status;
    }
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

Status RomFile::recoverJournal() {
    const std::string journalPath = this->journalPath();
    if (!exists(journalPath)) {
        return {};
    }
    const std::string leftAlone =
        " It was left alone. Changes to this file cannot be saved while it is there: move it "
        "away (or delete it if you are sure it is not needed), then open the file again.";
    std::optional<std::vector<std::uint8_t>> content = readSmallFile(journalPath, kJournalMaxSize);
    std::optional<Journal> journal;
    if (content) {
        journal = decodeJournal(*content);
    }
    if (!journal) {
        openingNotice_ = "The journal " + quoted(journalPath) +
                         " beside this file is damaged or unreadable, so it was not used." +
                         leftAlone;
        return {};
    }
    if (journal->identity != identity()) {
        openingNotice_ = "The journal " + quoted(journalPath) +
                         " beside this file belongs to another file, so it was not used." +
                         leftAlone;
        return {};
    }
    const std::string tryAgain = " The file was not opened; try to open it again.";
    std::vector<std::vector<std::uint8_t>> current;
    for (const JournalRange& range : journal->ranges) {
        current.emplace_back(range.before.size());
        if (Status status = readAt(range.fileOffset, current.back()); !status) {
            return Status::failure("Cannot read " + quoted(path_) + ": " + status.message() + "." +
                                   tryAgain);
        }
    }
    if (!fitsInterruptedChange(*journal, current)) {
        openingNotice_ = "The journal " + quoted(journalPath) +
                         " beside this file records a change that was interrupted, but the file "
                         "has been changed since, so the journal was not used." +
                         leftAlone;
        return {};
    }

    const std::string cannotUndo =
        quoted(path_) + " holds an unfinished change that could not be undone: ";
    for (const JournalRange& range : journal->ranges) {
        if (Status status = writeAt(range.fileOffset, range.before); !status) {
            return Status::failure(cannotUndo + status.message() + "." + tryAgain);
        }
    }
    if (sys::fdatasync(fd_) != 0) {
        return Status::failure(cannotUndo + osReason(errno) + "." + tryAgain);
    }
    if (sys::unlink(journalPath.c_str()) != 0 && errno != ENOENT) {
        return Status::failure("The unfinished change to " + quoted(path_) +
                               " was undone, but its journal " + quoted(journalPath) +
                               " cannot be removed: " + osReason(errno) + "." + tryAgain);
    }
    (void)syncFolder(folder());  // the journal would only undo the same bytes again
    openingNotice_ = "The last change to " + quoted(path_) +
                     " was interrupted before it was complete (the program or the computer "
                     "stopped). It has been undone: the file is as it was before that change.";
    return {};
}

Status RomFile::checkUnchanged() const {
    const std::string reopen = " Nothing was written. Close the ROM and open it again.";
    struct stat open {};
    if (::fstat(fd_, &open) != 0) {
        return Status::failure("Cannot examine " + quoted(path_) + ": " + osReason(errno) + "." +
                               reopen);
    }
    struct stat atPath {};
    if (::stat(path_.c_str(), &atPath) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return Status::failure(quoted(path_) +
                                   " was deleted, renamed or moved by another program after it "
                                   "was opened here." +
                                   reopen);
        }
        return Status::failure("Cannot examine " + quoted(path_) + ": " + osReason(errno) + "." +
                               reopen);
    }
    if (atPath.st_dev != device_ || atPath.st_ino != inode_) {
        return Status::failure(quoted(path_) +
                               " was replaced by another file after it was opened here." + reopen);
    }
    if (static_cast<std::uint64_t>(open.st_size) != seenSize_ ||
        !sameTime(open.st_mtim, seenModified_)) {
        return Status::failure(
            quoted(path_) + " was changed by another program after it was opened here." + reopen);
    }
    return {};
}

Status RomFile::checkNoJournal() const {
    const std::string journalPath = this->journalPath();
    if (!exists(journalPath)) {
        return {};
    }
    std::optional<std::vector<std::uint8_t>> content = readSmallFile(journalPath, kJournalMaxSize);
    std::optional<Journal> journal;
    if (content) {
        journal = decodeJournal(*content);
    }
    if (journal && journal->identity == identity()) {
        return Status::failure("Nothing was written: an earlier change to " + quoted(path_) +
                               " still has to be undone. Close the ROM and open it again.");
    }
    return Status::failure("Nothing was written to " + quoted(path_) + ": the file " +
                           quoted(journalPath) +
                           " beside it is not its journal, and saving would overwrite it. Move "
                           "it away, then try again.");
}

Status RomFile::writeJournal(const std::vector<std::uint8_t>& content) {
    const std::string temp = journalTempPath();
    const std::string journalPath = this->journalPath();
    auto nothingWritten = [&](const std::string& reason) {
        return Status::failure("Nothing was written to " + quoted(path_) +
                               ": the journal that protects the change cannot be saved as " +
                               quoted(journalPath) + ": " + reason +
                               ". The folder of the file must be writable and have some free "
                               "space.");
    };

    int fd = sys::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        return nothingWritten(osReason(errno));
    }
    std::size_t done = 0;
    int error = 0;
    while (done < content.size() && error == 0) {
        ssize_t put = sys::write(fd, content.data() + done, content.size() - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            error = put < 0 ? errno : ENOSPC;
        } else {
            done += static_cast<std::size_t>(put);
        }
    }
    if (error == 0 && sys::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && sys::rename(temp.c_str(), journalPath.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        (void)sys::unlink(temp.c_str());  // a leftover is removed at the next opening
        return nothingWritten(osReason(error));
    }
    if (Status synced = syncFolder(folder()); !synced) {
        (void)sys::unlink(journalPath.c_str());  // it holds the current bytes: harmless if kept
        return nothingWritten(synced.message());
    }
    return {};
}

Status RomFile::rollBack(const Journal& journal, const std::string& whatFailed) {
    std::string undoFailure;
    for (auto range = journal.ranges.rbegin(); range != journal.ranges.rend(); ++range) {
        if (Status status = writeAt(range->fileOffset, range->before); !status) {
            undoFailure = status.message();
            break;
        }
    }
    if (undoFailure.empty() && sys::fdatasync(fd_) != 0) {
        undoFailure = osReason(errno);
    }
    rememberFileState();
    if (!undoFailure.empty()) {
        // The journal stays: the next opening puts the old bytes back.
        return Status::failure(whatFailed + " The change could not be undone either (" +
                               undoFailure + "). It will be undone the next time " + quoted(path_) +
                               " is opened: close the ROM and open it again.");
    }
    if (sys::unlink(journalPath().c_str()) != 0 && errno != ENOENT) {
        return Status::failure(whatFailed +
                               " The change was undone: the file is as it was "
                               "before. Its journal " +
                               quoted(journalPath()) + " cannot be removed (" + osReason(errno) +
                               "); close the ROM and open it again to remove it.");
    }
    (void)syncFolder(folder());  // should the journal come back, it holds these same bytes
    return Status::failure(whatFailed + " The change was undone: the file is as it was before.");
}

Status RomFile::check(const Edit& edit) const {
    if (edit.empty()) {
        return {};
    }
    if (!writable()) {
        return Status::failure(quoted(path_) +
                               " was opened for reading only; nothing was written.");
    }
    for (const Edit::Write& write : edit.writes()) {
        if (std::uint64_t{write.offset} + write.bytes.size() > imageSize()) {
            return Status::failure("The change would write at offset " + hexOffset(write.offset) +
                                   ", beyond the end of " + quoted(path_) + " (" +
                                   std::to_string(imageSize()) +
                                   " bytes). Nothing was written: this file is too short to be "
                                   "an image of this game.");
        }
    }
    if (Status status = checkUnchanged(); !status) {
        return status;
    }
    return checkNoJournal();
}

Status RomFile::apply(const Edit& edit, const std::function<void()>& afterEachWrite) {
    if (edit.empty()) {
        return {};
    }
    if (applying_) {
        return Status::failure("Another change to " + quoted(path_) +
                               " is still being written; nothing was written.");
    }
    applying_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{applying_};

    if (Status status = check(edit); !status) {
        return status;
    }

    Journal journal{identity(), {}};
    journal.ranges.reserve(edit.writes().size());
    for (const Edit::Write& write : edit.writes()) {
        JournalRange range{std::uint64_t{headerSize_} + write.offset,
                           std::vector<std::uint8_t>(write.bytes.size()), write.bytes};
        if (Status status = readAt(range.fileOffset, range.before); !status) {
            return Status::failure("Nothing was written: cannot read the bytes at offset " +
                                   hexOffset(write.offset) + " of " + quoted(path_) +
                                   " that the change would replace: " + status.message() + ".");
        }
        journal.ranges.push_back(std::move(range));
    }
    if (Status status = writeJournal(encodeJournal(journal)); !status) {
        return status;
    }

    for (const Edit::Write& write : edit.writes()) {
        if (Status status = writeAt(std::uint64_t{headerSize_} + write.offset, write.bytes);
            !status) {
            return rollBack(journal, "Cannot write at offset " + hexOffset(write.offset) + " of " +
                                         quoted(path_) + ": " + status.message() + ".");
        }
        if (afterEachWrite) {
            afterEachWrite();
        }
    }
    if (sys::fdatasync(fd_) != 0) {
        return rollBack(journal, "Cannot save the changes to " + quoted(path_) +
                                     " to the disk: " + osReason(errno) + ".");
    }
    if (sys::unlink(journalPath().c_str()) != 0) {
        return rollBack(journal, "Cannot remove the journal " + quoted(journalPath()) + ": " +
                                     osReason(errno) + ".");
    }
    // The change is complete and on the disk. Should the removal of the journal not be durable,
    // the worst a power cut can do is bring it back, and the next opening then undoes the
    // whole change: still all or nothing.
    (void)syncFolder(folder());
    rememberFileState();
    return {};
}

}  // namespace slamwise
