#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

struct stat;

namespace slamwise {

// A file system in memory behind the sys:: hooks of storage/FaultInjection.h, for the fuzzers:
// while one is switched on (ScopedMemoryFileSystem), every hook works on it instead of the disk,
// with the same results and errors as the system calls, and syncs cost nothing. A fault plan
// still counts and breaks the same operations. Folders exist wherever a file is named; there are
// no symbolic links, and a lock is refused only to another open file of the same process.
class MemoryFileSystem {
  public:
    // For the harness: put a file there (replacing one), look at its bytes (nothing when there is
    // no such file; valid until the next call) or remove it.
    void put(const std::string& path, std::span<const std::uint8_t> bytes);
    // The same, when the bytes of the file there now are these already but in the ranges
    // `differing` (offset, length) and past their own end: only those are copied. For a harness
    // that puts a file of megabytes again and again with a few bytes changed.
    void put(const std::string& path, std::span<const std::uint8_t> bytes,
             std::span<const std::pair<std::uint64_t, std::uint64_t>> differing);
    const std::vector<std::uint8_t>* bytes(const std::string& path) const;
    bool exists(const std::string& path) const { return files_.contains(path); }
    // Where the file was written since it was put there or since the last call, as (offset,
    // length) in order: the bytes elsewhere are as they were.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> takeWrites(const std::string& path);
    void remove(const std::string& path) { files_.erase(path); }

    // The system calls, as the sys:: hooks make them.
    int open(const char* path, int flags, mode_t mode);
    ssize_t pread(int fd, void* buffer, std::size_t length, off_t offset);
    ssize_t pwrite(int fd, const void* buffer, std::size_t length, off_t offset);
    ssize_t read(int fd, void* buffer, std::size_t length);
    ssize_t write(int fd, const void* buffer, std::size_t length);
    int sync(int fd);
    int rename(const char* from, const char* to);
    int unlink(const char* path);
    int stat(const char* path, struct ::stat* info) const;
    int fstat(int fd, struct ::stat* info) const;
    int close(int fd);
    int flock(int fd, int operation);

    // Descriptors of this file system start here, far above those of the system.
    static constexpr int kFirstDescriptor = 1 << 20;
    static bool owns(int fd) { return fd >= kFirstDescriptor; }

  private:
    struct File {
        std::vector<std::uint8_t> bytes;
        std::uint64_t inode = 0;
        long modified = 0;  // a clock of writes, in nanoseconds
        int lockedBy = -1;  // the descriptor holding the lock
        std::vector<std::pair<std::uint64_t, std::uint64_t>> writes;  // see takeWrites
    };
    struct Open {
        std::shared_ptr<File> file;  // nothing for a folder
        bool writable = false;
        std::uint64_t position = 0;
    };
    Open* find(int fd);
    const Open* find(int fd) const;
    void touch(File& file) { file.modified = ++clock_; }
    static void describe(const File& file, struct ::stat* info);

    std::map<std::string, std::shared_ptr<File>> files_;
    std::map<int, Open> opens_;
    int nextDescriptor_ = kFirstDescriptor;
    std::uint64_t nextInode_ = 1;
    long clock_ = 0;
};

// Switches the file system on for the hooks as long as the object lives.
class ScopedMemoryFileSystem {
  public:
    explicit ScopedMemoryFileSystem(MemoryFileSystem& files);
    ~ScopedMemoryFileSystem();
    ScopedMemoryFileSystem(const ScopedMemoryFileSystem&) = delete;
    ScopedMemoryFileSystem& operator=(const ScopedMemoryFileSystem&) = delete;

  private:
    MemoryFileSystem* previous_;
};

}  // namespace slamwise
