#include "storage/FaultInjection.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

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

namespace {

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
                           [&](std::size_t n) { return ::pread(fd, buffer, n, offset); });
}

ssize_t plannedPwrite(int fd, const void* buffer, std::size_t length, off_t offset) {
    return plannedTransfer(FileCall::Pwrite, length,
                           [&](std::size_t n) { return ::pwrite(fd, buffer, n, offset); });
}

ssize_t plannedRead(int fd, void* buffer, std::size_t length) {
    return plannedTransfer(FileCall::Read, length,
                           [&](std::size_t n) { return ::read(fd, buffer, n); });
}

ssize_t plannedWrite(int fd, const void* buffer, std::size_t length) {
    return plannedTransfer(FileCall::Write, length,
                           [&](std::size_t n) { return ::write(fd, buffer, n); });
}

int plannedFsync(int fd) {
    return plannedCall(FileCall::Fsync, [&] { return ::fsync(fd); });
}

int plannedFdatasync(int fd) {
    return plannedCall(FileCall::Fdatasync, [&] { return ::fdatasync(fd); });
}

int plannedOpen(const char* path, int flags, mode_t mode) {
    return plannedCall(FileCall::Open, [&] { return ::open(path, flags, mode); });
}

int plannedRename(const char* from, const char* to) {
    return plannedCall(FileCall::Rename, [&] { return ::rename(from, to); });
}

int plannedUnlink(const char* path) {
    return plannedCall(FileCall::Unlink, [&] { return ::unlink(path); });
}

}  // namespace

ssize_t pread(int fd, void* buffer, std::size_t length, off_t offset) {
    return activePlan ? plannedPread(fd, buffer, length, offset)
                      : ::pread(fd, buffer, length, offset);
}

ssize_t pwrite(int fd, const void* buffer, std::size_t length, off_t offset) {
    return activePlan ? plannedPwrite(fd, buffer, length, offset)
                      : ::pwrite(fd, buffer, length, offset);
}

ssize_t read(int fd, void* buffer, std::size_t length) {
    return activePlan ? plannedRead(fd, buffer, length) : ::read(fd, buffer, length);
}

ssize_t write(int fd, const void* buffer, std::size_t length) {
    return activePlan ? plannedWrite(fd, buffer, length) : ::write(fd, buffer, length);
}

int fsync(int fd) {
    return activePlan ? plannedFsync(fd) : ::fsync(fd);
}

int fdatasync(int fd) {
    return activePlan ? plannedFdatasync(fd) : ::fdatasync(fd);
}

int open(const char* path, int flags, mode_t mode) {
    return activePlan ? plannedOpen(path, flags, mode) : ::open(path, flags, mode);
}

int rename(const char* from, const char* to) {
    return activePlan ? plannedRename(from, to) : ::rename(from, to);
}

int unlink(const char* path) {
    return activePlan ? plannedUnlink(path) : ::unlink(path);
}

int stat(const char* path, struct ::stat* info) {
    return ::stat(path, info);
}

int lstat(const char* path, struct ::stat* info) {
    return ::lstat(path, info);
}

int fstat(int fd, struct ::stat* info) {
    return ::fstat(fd, info);
}

int close(int fd) {
    return ::close(fd);
}

int flock(int fd, int operation) {
    return ::flock(fd, operation);
}

std::string realPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

}  // namespace sys
}  // namespace slamwise
