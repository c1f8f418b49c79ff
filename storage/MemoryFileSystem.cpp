#include "storage/MemoryFileSystem.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "storage/FaultInjection.h"

namespace slamwise {

namespace {

constexpr long kNanoseconds = 1000000000L;

int failWith(int error) {
    errno = error;
    return -1;
}

}  // namespace

void MemoryFileSystem::put(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::shared_ptr<File>& file = files_[path];
    // A new file, as a replacement on a disk makes; the memory of one nothing refers to any more
    // is used again.
    if (!file || file.use_count() > 1) {
        file = std::make_shared<File>();
    }
    file->bytes.assign(bytes.begin(), bytes.end());
    file->inode = nextInode_++;
    file->lockedBy = -1;
    file->writes.clear();
    touch(*file);
}

void MemoryFileSystem::put(const std::string& path, std::span<const std::uint8_t> bytes,
                           std::span<const std::pair<std::uint64_t, std::uint64_t>> differing) {
    auto found = files_.find(path);
    if (found == files_.end() || found->second.use_count() > 1) {
        put(path, bytes);
        return;
    }
    File& file = *found->second;
    const std::size_t kept = std::min(file.bytes.size(), bytes.size());
    file.bytes.resize(bytes.size());
    std::copy(bytes.begin() + static_cast<long>(kept), bytes.end(),
              file.bytes.begin() + static_cast<long>(kept));
    for (auto [offset, length] : differing) {
        const std::size_t from = std::min<std::uint64_t>(offset, kept);
        const std::size_t to = std::min<std::uint64_t>(offset + length, kept);
        std::copy(bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(to),
                  file.bytes.begin() + static_cast<long>(from));
    }
    file.inode = nextInode_++;
    file.lockedBy = -1;
    file.writes.clear();
    touch(file);
}

std::vector<std::pair<std::uint64_t, std::uint64_t>> MemoryFileSystem::takeWrites(
    const std::string& path) {
    auto found = files_.find(path);
    return found == files_.end() ? decltype(File::writes){} : std::move(found->second->writes);
}

const std::vector<std::uint8_t>* MemoryFileSystem::bytes(const std::string& path) const {
    auto found = files_.find(path);
    return found == files_.end() ? nullptr : &found->second->bytes;
}

MemoryFileSystem::Open* MemoryFileSystem::find(int fd) {
    auto found = opens_.find(fd);
    return found == opens_.end() ? nullptr : &found->second;
}

const MemoryFileSystem::Open* MemoryFileSystem::find(int fd) const {
    auto found = opens_.find(fd);
    return found == opens_.end() ? nullptr : &found->second;
}

int MemoryFileSystem::open(const char* path, int flags, mode_t) {
    const bool writable = (flags & O_ACCMODE) != O_RDONLY;
    if (flags & O_DIRECTORY) {
        opens_[nextDescriptor_] = {nullptr, false, 0};
        return nextDescriptor_++;
    }
    auto found = files_.find(path);
    if (found == files_.end()) {
        if (!(flags & O_CREAT)) {
            return failWith(ENOENT);
        }
        put(path, {});
        found = files_.find(path);
    } else if ((flags & O_CREAT) && (flags & O_EXCL)) {
        return failWith(EEXIST);
    } else if ((flags & O_TRUNC) && writable) {
        found->second->bytes.clear();
        touch(*found->second);
    }
    opens_[nextDescriptor_] = {found->second, writable, 0};
    return nextDescriptor_++;
}

ssize_t MemoryFileSystem::pread(int fd, void* buffer, std::size_t length, off_t offset) {
    const Open* open = find(fd);
    if (open == nullptr || offset < 0) {
        return failWith(open ? EINVAL : EBADF);
    }
    if (!open->file) {
        return failWith(EISDIR);
    }
    const std::vector<std::uint8_t>& bytes = open->file->bytes;
    const auto from = static_cast<std::uint64_t>(offset);
    if (from >= bytes.size()) {
        return 0;
    }
    const std::size_t count = std::min<std::uint64_t>(length, bytes.size() - from);
    std::memcpy(buffer, bytes.data() + from, count);
    return static_cast<ssize_t>(count);
}

ssize_t MemoryFileSystem::pwrite(int fd, const void* buffer, std::size_t length, off_t offset) {
    const Open* open = find(fd);
    if (open == nullptr || !open->writable || !open->file) {
        return failWith(EBADF);
    }
    std::vector<std::uint8_t>& bytes = open->file->bytes;
    const auto from = static_cast<std::uint64_t>(offset);
    if (from + length > bytes.size()) {
        bytes.resize(from + length, 0);
    }
    std::memcpy(bytes.data() + from, buffer, length);
    open->file->writes.emplace_back(from, length);
    touch(*open->file);
    return static_cast<ssize_t>(length);
}

ssize_t MemoryFileSystem::read(int fd, void* buffer, std::size_t length) {
    Open* open = find(fd);
    const ssize_t got =
        open ? pread(fd, buffer, length, static_cast<off_t>(open->position)) : failWith(EBADF);
    if (got > 0) {
        open->position += static_cast<std::uint64_t>(got);
    }
    return got;
}

ssize_t MemoryFileSystem::write(int fd, const void* buffer, std::size_t length) {
    Open* open = find(fd);
    const ssize_t put =
        open ? pwrite(fd, buffer, length, static_cast<off_t>(open->position)) : failWith(EBADF);
    if (put > 0) {
        open->position += static_cast<std::uint64_t>(put);
    }
    return put;
}

int MemoryFileSystem::sync(int fd) {
    return find(fd) ? 0 : failWith(EBADF);
}

int MemoryFileSystem::rename(const char* from, const char* to) {
    auto found = files_.find(from);
    if (found == files_.end()) {
        return failWith(ENOENT);
    }
    std::shared_ptr<File> file = found->second;
    files_.erase(found);
    files_[to] = std::move(file);
    return 0;
}

int MemoryFileSystem::unlink(const char* path) {
    return files_.erase(path) == 1 ? 0 : failWith(ENOENT);
}

void MemoryFileSystem::describe(const File& file, struct ::stat* info) {
    *info = {};
    info->st_dev = 1;
    info->st_ino = file.inode;
    info->st_mode = S_IFREG | 0644;
    info->st_nlink = 1;
    info->st_size = static_cast<off_t>(file.bytes.size());
    info->st_mtim = {file.modified / kNanoseconds, file.modified % kNanoseconds};
}

int MemoryFileSystem::stat(const char* path, struct ::stat* info) const {
    auto found = files_.find(path);
    if (found == files_.end()) {
        return failWith(ENOENT);
    }
    describe(*found->second, info);
    return 0;
}

int MemoryFileSystem::fstat(int fd, struct ::stat* info) const {
    const Open* open = find(fd);
    if (open == nullptr) {
        return failWith(EBADF);
    }
    if (!open->file) {
        *info = {};
        info->st_mode = S_IFDIR | 0755;
        return 0;
    }
    describe(*open->file, info);
    return 0;
}

int MemoryFileSystem::close(int fd) {
    Open* open = find(fd);
    if (open == nullptr) {
        return failWith(EBADF);
    }
    if (open->file && open->file->lockedBy == fd) {
        open->file->lockedBy = -1;
    }
    opens_.erase(fd);
    return 0;
}

int MemoryFileSystem::flock(int fd, int operation) {
    Open* open = find(fd);
    if (open == nullptr || !open->file) {
        return failWith(EBADF);
    }
    int& holder = open->file->lockedBy;
    if (operation & LOCK_UN) {
        holder = holder == fd ? -1 : holder;
        return 0;
    }
    if (holder != -1 && holder != fd) {
        return failWith(EWOULDBLOCK);
    }
    holder = fd;
    return 0;
}

ScopedMemoryFileSystem::ScopedMemoryFileSystem(MemoryFileSystem& files)
    : previous_(sys::activeFiles) {
    sys::activeFiles = &files;
}

ScopedMemoryFileSystem::~ScopedMemoryFileSystem() {
    sys::activeFiles = previous_;
}

}  // namespace slamwise
