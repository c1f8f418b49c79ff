#pragma once

#include <sys/types.h>

#include <cerrno>
#include <cstddef>

namespace slamwise {

// A test hook that makes one low-level file operation of RomFile go wrong, so that tests can
// prove every action is all-or-nothing. While no plan is set (the program never sets one) the
// wrappers below cost one pointer test each.
//
// Operations are counted from 1 after the plan is set: every read and write of the image, every
// write of the journal, every sync, every open of the journal or its folder, every rename and
// every removal. The operation numbered `at` goes wrong as `mode` says.
struct FaultPlan {
    enum class Mode {
        Fail,           // the operation fails with `error`
        ShortWrite,     // a write moves only half its bytes (other operations fail with `error`)
        Crash,          // the process ends right there, before the operation
        CrashMidWrite,  // a write moves half its bytes, then the process ends
    };
    static constexpr int kCrashExitCode = 86;  // exit status of a process ended by a plan

    Mode mode = Mode::Fail;
    long at = 1;
    int error = EIO;
    // Fail and ShortWrite: every operation after `at` fails with `error` too, as on a device that
    // has gone away or a disk that has filled up.
    bool persistent = false;

    long operations = 0;  // counted so far
    bool fired = false;   // operation `at` has been reached
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

// The file operations RomFile uses, each passing through the plan when one is set. They behave
// as the system calls of the same name.
namespace sys {

extern FaultPlan* activePlan;

ssize_t pread(int fd, void* buffer, std::size_t length, off_t offset);
ssize_t pwrite(int fd, const void* buffer, std::size_t length, off_t offset);
ssize_t write(int fd, const void* buffer, std::size_t length);
int fsync(int fd);
int fdatasync(int fd);
int open(const char* path, int flags, mode_t mode = 0);
int rename(const char* from, const char* to);
int unlink(const char* path);

}  // namespace sys
}  // namespace slamwise
