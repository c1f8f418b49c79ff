#include "storage/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "storage/FaultInjection.h"

namespace slamwise {

std::string osReason(int error) {
    return std::system_category().message(error);
}

Status readAt(int fd, std::uint64_t position, std::span<std::uint8_t> out) {
    std::size_t done = 0;
    while (done < out.size()) {
        ssize_t got = sys::pread(fd, out.data() + done, out.size() - done,
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
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(done), out.end(), std::uint8_t{0});
    return {};
}

Status writeAt(int fd, std::uint64_t position, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t put = sys::pwrite(fd, bytes.data() + done, bytes.size() - done,
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

Result<std::vector<std::uint8_t>> readWholeFile(const std::string& path, std::size_t limit,
                                                Links links) {
    constexpr std::size_t kChunk = 64 * 1024;  // growth past the size the file had at opening
    const int flags = O_RDONLY | O_CLOEXEC | (links == Links::Follow ? 0 : O_NOFOLLOW);
    const int fd = sys::open(path.c_str(), flags);
    if (fd < 0) {
        return Status::failure(osReason(errno));
    }
    // One read for a file that keeps its size; the read that finds the end comes on top.
    struct stat info {};
    const std::size_t expected = sys::fstat(fd, &info) == 0 && info.st_size >= 0
                                     ? std::min(static_cast<std::size_t>(info.st_size), limit) + 1
                                     : kChunk;
    std::vector<std::uint8_t> content(expected);
    std::size_t size = 0;
    int error = 0;
    while (error == 0) {
        if (size == content.size()) {
            content.resize(size + kChunk);
        }
        const ssize_t got = sys::read(fd, content.data() + size, content.size() - size);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = errno;
        } else if (got == 0) {
            break;
        } else if ((size += static_cast<std::size_t>(got)) > limit) {
            error = EFBIG;
        }
    }
    sys::close(fd);
    if (error != 0) {
        return Status::failure(osReason(error));
    }
    content.resize(size);
    return content;
}

Status syncFolder(const std::string& folder, int& folderFd) {
    if (folderFd < 0) {
        folderFd = sys::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folderFd < 0) {
            return Status::failure(osReason(errno));
        }
    }
    if (sys::fsync(folderFd) != 0 && errno != EINVAL && errno != ENOTSUP) {
        return Status::failure(osReason(errno));
    }
    return {};
}

std::string temporaryPathFor(const std::string& path) {
    return path + ".tmp";
}

namespace {

// Writes the bytes from the current position on, retrying interrupted and partial writes.
int writeAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = sys::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return put < 0 ? errno : ENOSPC;
        }
        done += static_cast<std::size_t>(put);
    }
    return 0;
}

}  // namespace

Status writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                           mode_t mode, int* folderFd) {
    const std::string temporary = temporaryPathFor(path);
    const int fd =
        sys::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, mode);
    int error = fd < 0 ? errno : writeAll(fd, bytes);
    if (error == 0 && sys::fsync(fd) != 0) {
        error = errno;
    }
    if (fd >= 0 && sys::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && sys::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        (void)sys::unlink(temporary.c_str());  // a leftover goes with the next write
        return Status::failure(osReason(error));
    }
    int ownFolder = -1;
    Status synced = syncFolder(folderOf(path), folderFd ? *folderFd : ownFolder);
    if (ownFolder >= 0) {
        sys::close(ownFolder);
    }
    return synced;
}

std::string folderOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace slamwise
