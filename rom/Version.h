#pragma once

#include <string>

namespace slamwise {

// The program's own version, 0.0.36. Wherever it is printed it reads major "." revision: v0.36.
inline constexpr int kVersionMajor = 0;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 36;

inline std::string versionText() {
    return std::to_string(kVersionMajor) + "." + std::to_string(kVersionRevision);
}

}  // namespace slamwise
