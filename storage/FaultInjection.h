#pragma once

#include <sys/types.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct stat;

namespace slamwise {

class MemoryFileSystem;

// A test hook that makes one low-level file operation of RomFile go wrong, so that tests can
// prove every action is all-or-nothing. While no plan is set (the program never sets one) the
// wrappers below cost one pointer test each.
//
// Operations are counted from 1 after the plan is set: every read and write of the image and of
// the journal, every sync, every open of the journal or its folder, every rename and every
// removal. The operation numbered `at` goes wrong as `mode` says. The plan also keeps the kind of
// every operation in order, so that a test can count reads or check the order of the syncs.

// The kinds of operation, one for each wrapper below.
enum class FileCall { Pread, Pwrite, Read, Write, Fsync, Fdatasync, Open, Rename, Unlink };

struct FaultPlan {
    enum class Mode {
        Fail,           // the operation fails with `error`
        ShortWrite,     // a write moves only half its bytes (other operations fail with `error`)
        Crash,          // the process ends right there, before the operation
        CrashMidWrite,  // a write moves half its bytes, then the process ends
    };
    static constexpr int kCrashExitCode = 86;  // exit status of a process ended by a plan
    static constexpr long kNever = LONG_MAX;  // an `at` that is never reached: the plan only counts

    Mode mode = Mode::Fail;
    long at = 1;
    int error = EIO;
    // Fail and ShortWrite: every operation after `at` fails with `error` too, as on a device that
    // has gone away or a disk that has filled up.
    bool persistent = false;
    // When set, only operations of this kind are counted (`at` is then the nth of them); the
    // others proceed.
    std::optional<FileCall> only{};

    long operations = 0;            // counted so far
    bool fired = false;             // operation `at` has been reached
    std::vector<FileCall> calls{};  // the kind of each operation so far, in order

    long count(FileCall kind) const;
};

// Sets the plan that RomFile consults (nullptr: none) for as long as the object lives.
class ScopedFaultPlan {
  public:
    explicit ScopedFaultPlan(FaultPlan& plan);
    ~ScopedFaultPlan();
    ScopedFaultPlan(const ScopedFaultPlan&) = delete;
    ScopedFaultPlan& operator=(const ScopedFaultPlan&) = delete;

  private:
    FaultPlan* previous_;
};

// The file operations of the program, each passing through the plan when one is set, then to
// the system or to the file system in memory that is switched on. They behave as the system
// calls of the same name.
namespace sys {

extern FaultPlan* activePlan;
// The file system in memory the hooks work on, when one is switched on
// (storage/MemoryFileSystem.h).
extern MemoryFileSystem* activeFiles;

ssize_t pread(int fd, void* buffer, std::size_t length, off_t offset);
ssize_t pwrite(int fd, const void* buffer, std::size_t length, off_t offset);
ssize_t read(int fd, void* buffer, std::size_t length);
ssize_t write(int fd, const void* buffer, std::size_t length);
int fsync(int fd);
int fdatasync(int fd);
int open(const char* path, int flags, mode_t mode = 0);
int rename(const char* from, const char* to);
int unlink(const char* path);

// Not counted by a plan: they only look, or let go.
int stat(const char* path, struct ::stat* info);
int lstat(const char* path, struct ::stat* info);
int fstat(int fd, struct ::stat* info);
int close(int fd);
int flock(int fd, int operation);
// Whether the effective user may access the file as mode says (faccessat with AT_EACCESS).
int access(const char* path, int mode);
// The path with symbolic links and "." and ".." resolved; the path as it is when it cannot be
// resolved (it does not exist, or a folder on the way cannot be read).
std::string realPath(const std::string& path);

}  // namespace sys
}  // namespace slamwise
