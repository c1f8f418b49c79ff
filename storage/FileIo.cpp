#include "storage/FileIo.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "storage/FaultInjection.h"

namespace slamwise {

std::string osReason(int error) {
    return std::system_category().message(error);
}

std::string quoted(const std::string& text) {
    std::string result;
    result.reserve(text.size() + 2);
    result += '"';
    result += text;
    result += '"';
    return result;
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

std::optional<std::vector<std::uint8_t>> readSmallFile(const std::string& path, std::size_t limit) {
    constexpr std::size_t kChunk = 64 * 1024;  // a journal usually fits in the first read
    int fd = sys::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> content;
    std::size_t size = 0;
    bool ok = true;
    while (ok && size <= limit) {
        content.resize(size + kChunk);
        ssize_t got = sys::read(fd, content.data() + size, kChunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        size += static_cast<std::size_t>(got);
    }
    ::close(fd);
    if (!ok || size > limit) {
        return std::nullopt;
    }
    content.resize(size);
    return content;
}

std::string folderOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace slamwise
