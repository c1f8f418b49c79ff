#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace slamwise::test {

// File permissions do not stop the superuser. Tests of read-only files and folders therefore
// run their critical part as the unprivileged "nobody" (the saved user id lets the test become
// root again afterwards). Without root nothing changes.
class Unprivileged {
  public:
    static constexpr uid_t kNobody = 65534;

    // The folder must be reachable by "nobody" for the test to work on files inside it.
    static void openUp(const std::filesystem::path& folder) { ::chmod(folder.c_str(), 0755); }

    Unprivileged() : wasRoot_(::geteuid() == 0) {
        if (wasRoot_ && ::setegid(kNobody) == 0) {
            dropped_ = ::seteuid(kNobody) == 0;
        }
    }
    ~Unprivileged() {
        if (dropped_) {
            (void)!::seteuid(0);
        }
        if (wasRoot_) {
            (void)!::setegid(0);
        }
    }
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;

  private:
    bool wasRoot_ = false;
    bool dropped_ = false;
};

}  // namespace slamwise::test
