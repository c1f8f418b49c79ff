#include "storage/RomFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

#include "storage/FaultInjection.h"
#include "storage/FileIo.h"

namespace slamwise {

namespace {

std::string hexNumber(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace

std::string hexOffset(std::uint32_t offset) {
    std::string text = "$";
    text += hexNumber(offset);
    return text;
}

std::string RomFile::journalPathFor(const std::string& path) {
    return JournalFile::pathFor(path);
}

Result<RomFile> RomFile::open(const std::string& path, Access access) {
    // Look before opening: opening a device or a pipe can have effects of its own.
    struct stat before {};
    if (sys::stat(path.c_str(), &before) == 0 && !S_ISREG(before.st_mode)) {
        return Status::failure(quoted(path) + " is " +
                               (S_ISDIR(before.st_mode) ? "a directory" : "not a regular file") +
                               ", not a ROM image.");
    }
    int flags = (access == Access::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NOCTTY;
    int fd = sys::open(path.c_str(), flags);
    if (fd < 0) {
        return Status::failure("Cannot open " + quoted(path) + " for " +
                               (access == Access::ReadWrite ? "reading and writing" : "reading") +
                               ": " + osReason(errno) + ".");
    }
    struct stat info {};
    if (sys::fstat(fd, &info) != 0) {
        int error = errno;
        sys::close(fd);
        return Status::failure("Cannot examine " + quoted(path) + ": " + osReason(error) + ".");
    }
    if (!S_ISREG(info.st_mode)) {
        sys::close(fd);
        return Status::failure(quoted(path) + " is not a regular file.");
    }
    RomFile rom(fd, path, static_cast<std::uint64_t>(info.st_size), access);
    rom.journal_ =
        JournalFile(fd, path, {info.st_dev, info.st_ino, rom.fileSize_, rom.headerSize_});
    if (Status status = access == Access::ReadOnly ? rom.lookAtJournal() : rom.takeOver();
        !status) {
        return status;
    }
    rom.journal_.rememberFileState();
    return rom;
}

// For reading only: a journal that can be undone must be undone first (by opening the file for
// writing); one that cannot be used is told. What a change that never came into force left is
// removed when no writer holds the file.
Status RomFile::lookAtJournal() {
    if (sys::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        journal_.removeLeftovers();
        (void)sys::flock(fd_, LOCK_UN);
    }
    return journal_.inspect(openingNotice_);
}

// For writing: takes the lock and undoes an interrupted change.
Status RomFile::takeOver() {
    // One writer at a time: the lock belongs to the file (whatever name it was opened by) and
    // ends with this opening.
    if (sys::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            return Status::failure(quoted(path_) +
                                   " is already open in another window or program. Close it "
                                   "there first, then open it here.");
        }
        return Status::failure("Cannot lock " + quoted(path_) +
                               " against other programs: " + osReason(errno) + ".");
    }
    return journal_.recover(openingNotice_);
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
      journal_(std::move(other.journal_)) {}

RomFile& RomFile::operator=(RomFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        fileSize_ = other.fileSize_;
        headerSize_ = other.headerSize_;
        access_ = other.access_;
        openingNotice_ = std::move(other.openingNotice_);
        journal_ = std::move(other.journal_);
    }
    return *this;
}

RomFile::~RomFile() {
    close();
}

void RomFile::close() {
    if (fd_ >= 0) {
        sys::close(fd_);  // also releases the lock
        fd_ = -1;
    }
}

Status RomFile::read(std::uint32_t offset, std::span<std::uint8_t> out) const {
    if (Status status = readAt(fd_, std::uint64_t{headerSize_} + offset, out); !status) {
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
    return journal_.check();
}

Status RomFile::apply(const Edit& edit, std::vector<JournalRange>* written) {
    if (edit.empty()) {
        return {};
    }
    if (Status status = check(edit); !status) {
        return status;
    }
    return journal_.apply(edit, written);
}

}  // namespace slamwise
