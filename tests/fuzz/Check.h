#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "storage/Edit.h"

namespace slamwise::fuzz {

// Ends the run, as the fuzzer expects of a finding, when a property does not hold. The message
// is what and detail one after the other, put together only when it is printed: a check runs
// for every problem and write of every input.
inline void check(bool holds, std::string_view what, std::string_view detail = {}) {
    if (!holds) {
        std::fprintf(stderr, "fuzz check failed: %.*s%.*s\n", static_cast<int>(what.size()),
                     what.data(), static_cast<int>(detail.size()), detail.data());
        std::abort();
    }
}

// The fixed image the patch harnesses work on: byte i is (i * 37 + i / 256) & 0xFF.
inline std::vector<std::uint8_t> fixedImage(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 37 + i / 256);
    }
    return bytes;
}

// The image with the edit's writes made; each write must lie inside it and hold bytes.
inline std::vector<std::uint8_t> applied(std::vector<std::uint8_t> image, const Edit& edit) {
    for (const Edit::Write& write : edit.writes()) {
        check(!write.bytes.empty() && write.offset + write.bytes.size() <= image.size(),
              "a write outside the image");
        std::copy(write.bytes.begin(), write.bytes.end(), image.begin() + write.offset);
    }
    return image;
}

}  // namespace slamwise::fuzz
