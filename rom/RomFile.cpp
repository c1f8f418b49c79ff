#include "rom/RomFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>

namespace slamwise {

namespace {

std::string osReason(int error) {
    return std::system_category().message(error);
}

std::string hexNumber(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace

std::string hexOffset(std::uint32_t offset) {
    return "$" + hexNumber(offset);
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
        return Status::failure("Cannot open \"" + path + "\" for " +
                               (access == Access::ReadWrite ? "reading and writing" : "reading") +
                               ": " + osReason(errno) + ".");
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        int error = errno;
        ::close(fd);
        return Status::failure("Cannot examine \"" + path + "\": " + osReason(error) + ".");
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return Status::failure("\"" + path + "\" is not a regular file.");
    }
    return RomFile(fd, path, static_cast<std::uint64_t>(info.st_size), access);
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
      openingNotice_(std::move(other.openingNotice_)) {}

RomFile& RomFile::operator=(RomFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        fileSize_ = other.fileSize_;
        headerSize_ = other.headerSize_;
        access_ = other.access_;
        openingNotice_ = std::move(other.openingNotice_);
    }
    return *this;
}

RomFile::~RomFile() {
    close();
}

void RomFile::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

Status RomFile::read(std::uint32_t offset, std::span<std::uint8_t> out) const {
    std::fill(out.begin(), out.end(), std::uint8_t{0});
    std::uint64_t position = std::uint64_t{headerSize_} + offset;
    std::size_t done = 0;
    while (done < out.size()) {
        ssize_t got =
            ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(position + done));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Status::failure("Cannot read " + std::to_string(out.size()) +
                                   " byte(s) at offset " + hexOffset(offset) + " of \"" + path_ +
                                   "\": " + osReason(errno) + ".");
        }
        if (got == 0) {
            break;  // end of file: the rest reads as zeros
        }
        done += static_cast<std::size_t>(got);
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

Status RomFile::apply(const Edit& edit, const std::function<void()>& afterEachWrite) {
    if (!writable() && !edit.empty()) {
        return Status::failure("\"" + path_ +
                               "\" was opened for reading only; nothing was written.");
    }
    for (const Edit::Write& write : edit.writes()) {
        if (std::uint64_t{write.offset} + write.bytes.size() > imageSize()) {
            return Status::failure("The change would write at offset " + hexOffset(write.offset) +
                                   ", beyond the end of \"" + path_ + "\" (" +
                                   std::to_string(imageSize()) +
                                   " bytes). Nothing was written: this file is too short to be "
                                   "an image of this game.");
        }
    }
    for (const Edit::Write& write : edit.writes()) {
        std::uint64_t position = std::uint64_t{headerSize_} + write.offset;
        std::size_t done = 0;
        while (done < write.bytes.size()) {
            ssize_t put = ::pwrite(fd_, write.bytes.data() + done, write.bytes.size() - done,
                                   static_cast<off_t>(position + done));
            if (put < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return Status::failure("Cannot write at offset " + hexOffset(write.offset) +
                                       " of \"" + path_ + "\": " + osReason(errno) + ".");
            }
            done += static_cast<std::size_t>(put);
        }
        if (afterEachWrite) {
            afterEachWrite();
        }
    }
    if (!edit.empty() && ::fdatasync(fd_) != 0) {
        return Status::failure("Cannot save the changes to \"" + path_ +
                               "\" to the disk: " + osReason(errno) + ".");
    }
    return {};
}

}  // namespace slamwise
