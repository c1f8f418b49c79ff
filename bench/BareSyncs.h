#pragma once

// What the Apply benchmarks measure against, shared by them.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "storage/Journal.h"

namespace slamwise::bench {

// A run of the file a change writes: its offset and size.
using Run = std::pair<std::uint32_t, std::size_t>;

// The least any change that survives a crash must do on this disk, done bare on an image (a
// second one, in the same folder as the measured one): a journal of the runs written and synced
// under a temporary name and renamed into place (so that a half-written journal is never taken
// for one in force), its folder synced, each run written with one write, the image synced, the
// journal removed and the folder synced again.
class BareSyncs {
  public:
    BareSyncs(const std::string& image, std::vector<Run> runs)
        : folder_(image.substr(0, image.find_last_of('/'))),
          journal_(image + "-journal"),
          temporary_(journal_ + ".tmp"),
          runs_(std::move(runs)) {
        imageFd_ = ::open(image.c_str(), O_RDWR | O_CLOEXEC);
        Journal journal;
        for (const auto& [offset, size] : runs_) {
            journal.ranges.push_back(
                {offset, std::vector<std::uint8_t>(size), std::vector<std::uint8_t>(size)});
        }
        journalBytes_ = encodeJournal(journal);
    }
    ~BareSyncs() { ::close(imageFd_); }
    BareSyncs(const BareSyncs&) = delete;
    BareSyncs& operator=(const BareSyncs&) = delete;

    bool run() {
        int folder = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        int journal = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        bool ok = folder >= 0 && journal >= 0 &&
                  ::write(journal, journalBytes_.data(), journalBytes_.size()) ==
                      static_cast<ssize_t>(journalBytes_.size()) &&
                  ::fsync(journal) == 0 && ::close(journal) == 0 &&
                  ::rename(temporary_.c_str(), journal_.c_str()) == 0 && ::fsync(folder) == 0;
        for (const auto& [offset, size] : runs_) {
            ok = ok && ::pwrite(imageFd_, journalBytes_.data(), size, offset) ==
                           static_cast<ssize_t>(size);
        }
        ok = ok && ::fdatasync(imageFd_) == 0 && ::unlink(journal_.c_str()) == 0 &&
             ::fsync(folder) == 0;
        ::close(folder);
        return ok;
    }

  private:
    std::string folder_;
    std::string journal_;
    std::string temporary_;
    std::vector<Run> runs_;
    std::vector<std::uint8_t> journalBytes_;
    int imageFd_ = -1;
};

inline double threadCpuMicroseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

inline double median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

}  // namespace slamwise::bench
