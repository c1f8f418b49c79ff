#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace slamwise::test {

// File permissions do not stop the superuser, so tests of read-only files and folders run their
// critical part as the unprivileged "nobody" (the saved user id lets the test become root again
// afterwards). Without root nothing changes. openUp makes a folder reachable for "nobody".
class Unprivileged {
  public:
    static void openUp(const std::filesystem::path& folder) { ::chmod(folder.c_str(), 0755); }
    Unprivileged() : root_(::geteuid() == 0) {
        dropped_ = root_ && ::setegid(65534) == 0 && ::seteuid(65534) == 0;
    }
    ~Unprivileged() {
        if (dropped_) {
            (void)!::seteuid(0);
        }
        if (root_) {
            (void)!::setegid(0);
        }
    }
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;

  private:
    bool root_;
    bool dropped_ = false;
};

}  // namespace slamwise::test
