#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace slamwise::fuzz {

// Ends the run, as the fuzzer expects of a finding, when a property does not hold.
inline void check(bool holds, const std::string& what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
        std::abort();
    }
}

}  // namespace slamwise::fuzz
