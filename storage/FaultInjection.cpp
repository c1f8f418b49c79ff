#include "storage/FaultInjection.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "storage/MemoryFileSystem.h"

namespace slamwise {

long FaultPlan::count(FileCall kind) const {
    return static_cast<long>(std::count(calls.begin(), calls.end(), kind));
}

ScopedFaultPlan::ScopedFaultPlan(FaultPlan& plan) : previous_(sys::activePlan) {
    sys::activePlan = &plan;
}

ScopedFaultPlan::~ScopedFaultPlan() {
    sys::activePlan = previous_;
}

namespace sys {

FaultPlan* activePlan = nullptr;
MemoryFileSystem* activeFiles = nullptr;

namespace {

// Where an operation goes: to the file system in memory while one is on (for a descriptor: when
// it opened it), else to the system.
MemoryFileSystem* filesFor(int fd) {
    return activeFiles && MemoryFileSystem::owns(fd) ? activeFiles : nullptr;
}

ssize_t doPread(int fd, void* buffer, std::size_t length, off_t offset) {
    MemoryFileSystem* files = filesFor(fd);
    return files ? files->pread(fd, buffer, length, offset) : ::pread(fd, buffer, length, offset);
}

ssize_t doPwrite(int fd, const void* buffer, std::size_t length, off_t offset) {
    MemoryFileSystem* files = filesFor(fd);
    return files ? files->pwrite(fd, buffer, length, offset) : ::pwrite(fd, buffer, length, offset);
}

ssize_t doRead(int fd, void* buffer, std::size_t length) {
    MemoryFileSystem* files = filesFor(fd);
    return files ? files->read(fd, buffer, length) : ::read(fd, buffer, length);
}

ssize_t doWrite(int fd, const void* buffer, std::size_t length) {
    MemoryFileSystem* files = filesFor(fd);
    return files ? files->write(fd, buffer, length) : ::write(fd, buffer, length);
}

int doFsync(int fd) {
    MemoryFileSystem* files = filesFor(fd);
    return files ? files->sync(fd) : ::fsync(fd);
}

int doFdatasync(int fd) {
    MemoryFileSystem* files = filesFor(fd);
    return files ? files->sync(fd) : ::fdatasync(fd);
}

int doOpen(const char* path, int flags, mode_t mode) {
    return activeFiles ? activeFiles->open(path, flags, mode) : ::open(path, flags, mode);
}

int doRename(const char* from, const char* to) {
    return activeFiles ? activeFiles->rename(from, to) : ::rename(from, to);
}

int doUnlink(const char* path) {
    return activeFiles ? activeFiles->unlink(path) : ::unlink(path);
}

enum class Verdict { Proceed, Fail, ShortenThenProceed, ShortenThenCrash };

[[noreturn]] void crashHere() {
    ::_exit(FaultPlan::kCrashExitCode);
}

// Counts the operation and says what happens to it. For a write, `length` may be halved.
Verdict judge(FileCall kind, std::size_t& length) {
    FaultPlan& plan = *activePlan;
    plan.calls.push_back(kind);
    if (plan.only && kind != *plan.only) {
        return Verdict::Proceed;
    }
    long number = ++plan.operations;
    if (number < plan.at) {
        return Verdict::Proceed;
    }
    if (number > plan.at) {
        return plan.persistent ? Verdict::Fail : Verdict::Proceed;
    }
    plan.fired = true;
    bool canShorten = (kind == FileCall::Pwrite || kind == FileCall::Write) && length >= 2;
    switch (plan.mode) {
        case FaultPlan::Mode::Fail:
            return Verdict::Fail;
        case FaultPlan::Mode::ShortWrite:
            if (!canShorten) {
                return Verdict::Fail;
            }
            length /= 2;
            return Verdict::ShortenThenProceed;
        case FaultPlan::Mode::Crash:
            crashHere();
        case FaultPlan::Mode::CrashMidWrite:
            if (!canShorten) {
                crashHere();
            }
            length /= 2;
            return Verdict::ShortenThenCrash;
    }
    return Verdict::Proceed;
}

int failWith(int error) {
    errno = error;
    return -1;
}

// Runs a write-like call through the plan.
template <class Call>
ssize_t plannedTransfer(FileCall kind, std::size_t length, Call call) {
    Verdict verdict = judge(kind, length);
    if (verdict == Verdict::Fail) {
        return failWith(activePlan->error);
    }
    ssize_t result = call(length);
    if (verdict == Verdict::ShortenThenCrash) {
        crashHere();
    }
    return result;
}

template <class Call>
int plannedCall(FileCall kind, Call call) {
    std::size_t none = 0;
    if (judge(kind, none) == Verdict::Fail) {
        return failWith(activePlan->error);
    }
    return call();
}

ssize_t plannedPread(int fd, void* buffer, std::size_t length, off_t offset) {
    return plannedTransfer(FileCall::Pread, length,
                           [&](std::size_t n) { return doPread(fd, buffer, n, offset); });
}

ssize_t plannedPwrite(int fd, const void* buffer, std::size_t length, off_t offset) {
    return plannedTransfer(FileCall::Pwrite, length,
                           [&](std::size_t n) { return doPwrite(fd, buffer, n, offset); });
}

ssize_t plannedRead(int fd, void* buffer, std::size_t length) {
    return plannedTransfer(FileCall::Read, length,
                           [&](std::size_t n) { return doRead(fd, buffer, n); });
}

ssize_t plannedWrite(int fd, const void* buffer, std::size_t length) {
    return plannedTransfer(FileCall::Write, length,
                           [&](std::size_t n) { return doWrite(fd, buffer, n); });
}

int plannedFsync(int fd) {
    return plannedCall(FileCall::Fsync, [&] { return doFsync(fd); });
}

int plannedFdatasync(int fd) {
    return plannedCall(FileCall::Fdatasync, [&] { return doFdatasync(fd); });
}

int plannedOpen(const char* path, int flags, mode_t mode) {
    return plannedCall(FileCall::Open, [&] { return doOpen(path, flags, mode); });
}

int plannedRename(const char* from, const char* to) {
    return plannedCall(FileCall::Rename, [&] { return doRename(from, to); });
}

int plannedUnlink(const char* path) {
    return plannedCall(FileCall::Unlink, [&] { return doUnlink(path); });
}

}  // namespace

ssize_t pread(int fd, void* buffer, std::size_t length, off_t offset) {
    return activePlan ? plannedPread(fd, buffer, length, offset)
                      : doPread(fd, buffer, length, offset);
}

ssize_t pwrite(int fd, const void* buffer, std::size_t length, off_t offset) {
    return activePlan ? plannedPwrite(fd, buffer, length, offset)
                      : doPwrite(fd, buffer, length, offset);
}

ssize_t read(int fd, void* buffer, std::size_t length) {
    return activePlan ? plannedRead(fd, buffer, length) : doRead(fd, buffer, length);
}

ssize_t write(int fd, const void* buffer, std::size_t length) {
    return activePlan ? plannedWrite(fd, buffer, length) : doWrite(fd, buffer, length);
}

int fsync(int fd) {
    return activePlan ? plannedFsync(fd) : doFsync(fd);
}

int fdatasync(int fd) {
    return activePlan ? plannedFdatasync(fd) : doFdatasync(fd);
}

int open(const char* path, int flags, mode_t mode) {
    return activePlan ? plannedOpen(path, flags, mode) : doOpen(path, flags, mode);
}

int rename(const char* from, const char* to) {
    return activePlan ? plannedRename(from, to) : doRename(from, to);
}

int unlink(const char* path) {
    return activePlan ? plannedUnlink(path) : doUnlink(path);
}

int stat(const char* path, struct ::stat* info) {
    return activeFiles ? activeFiles->stat(path, info) : ::stat(path, info);
}

int lstat(const char* path, struct ::stat* info) {
    return activeFiles ? activeFiles->stat(path, info) : ::lstat(path, info);
}

int fstat(int fd, struct ::stat* info) {
    MemoryFileSystem* files = filesFor(fd);
    return files ? files->fstat(fd, info) : ::fstat(fd, info);
}

int close(int fd) {
    MemoryFileSystem* files = filesFor(fd);
    return files ? files->close(fd) : ::close(fd);
}

int flock(int fd, int operation) {
    MemoryFileSystem* files = filesFor(fd);
    return files ? files->flock(fd, operation) : ::flock(fd, operation);
}

int access(const char* path, int mode) {
    struct ::stat info {};
    return activeFiles ? activeFiles->stat(path, &info)
                       : ::faccessat(AT_FDCWD, path, mode, AT_EACCESS);
}

std::string realPath(const std::string& path) {
    if (activeFiles) {
        return path;  // no links in memory
    }
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

}  // namespace sys
}  // namespace slamwise
