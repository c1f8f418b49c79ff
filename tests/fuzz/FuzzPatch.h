#pragma once

// Shared by the patch fuzzers: a small fixed image and the checks of what a patch makes of it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "patch/Patch.h"

namespace slamwise::fuzz {

// 4 KiB of a pattern the seed corpus rebuilds: byte i is (i * 37 + i / 256) & 0xFF.
inline const std::vector<std::uint8_t>& fixedImage() {
    static const std::vector<std::uint8_t> image = [] {
        std::vector<std::uint8_t> bytes(4096);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<std::uint8_t>(i * 37 + i / 256);
        }
        return bytes;
    }();
    return image;
}

[[noreturn]] inline void fail(const std::string& what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
    std::abort();
}

// Our own patch from the image to `target` must make `target` again.
inline void checkRoundTrip(std::span<const std::uint8_t> image,
                           const std::vector<std::uint8_t>& target) {
    for (PatchFormat format : {PatchFormat::Ips, PatchFormat::Bps}) {
        Result<std::vector<std::uint8_t>> patch = createPatch(format, image, target);
        if (!patch) {
            fail("cannot make a patch: " + patch.error());
        }
        Result<std::vector<std::uint8_t>> made = patchedImage(format, *patch, image);
        if (!made || *made != target) {
            fail("our own patch does not make the image it was made from");
        }
    }
}

// Applies the patch to the fixed image: refused, or writes inside the image that give what
// patchedImage makes; that result must survive a round trip through our own writers.
inline void checkPatch(PatchFormat format, std::span<const std::uint8_t> patch) {
    const std::vector<std::uint8_t>& image = fixedImage();
    Result<PatchResult> result = applyPatch(format, patch, image);
    Result<std::vector<std::uint8_t>> made = patchedImage(format, patch, image);
    if (!result) {
        if (made && made->size() == image.size()) {
            fail("refused a patch that keeps the size: " + result.error());
        }
        if (made && made->size() <= 2 * image.size()) {
            checkRoundTrip(image, *made);
        }
        return;
    }
    std::vector<std::uint8_t> target = image;
    for (const Edit::Write& write : result->edit.writes()) {
        if (write.bytes.empty() || write.offset + write.bytes.size() > image.size()) {
            fail("a write outside the image");
        }
        std::copy(write.bytes.begin(), write.bytes.end(), target.begin() + write.offset);
    }
    if (!made || *made != target) {
        fail("applying and making the image disagree");
    }
    checkRoundTrip(image, target);
}

}  // namespace slamwise::fuzz
