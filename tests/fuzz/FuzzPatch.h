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

// The image with the edit written into it; every write must lie inside it.
inline std::vector<std::uint8_t> edited(std::vector<std::uint8_t> image, const Edit& edit) {
    for (const Edit::Write& write : edit.writes()) {
        if (write.bytes.empty() || write.offset + write.bytes.size() > image.size()) {
            fail("a write outside the image");
        }
        std::copy(write.bytes.begin(), write.bytes.end(), image.begin() + write.offset);
    }
    return image;
}

// Applies the patch to the fixed image: refused, or writes inside the image that give what
// patchedImage makes; our own patches from the image to that result must make it again.
inline void checkPatch(PatchFormat format, std::span<const std::uint8_t> patch) {
    const std::vector<std::uint8_t>& image = fixedImage();
    Result<PatchResult> result = applyPatch(format, patch, image);
    if (!result) {
        return;
    }
    std::vector<std::uint8_t> target = edited(image, result->edit);
    Result<std::vector<std::uint8_t>> made = patchedImage(format, patch, image);
    if (!made || *made != target) {
        fail("applying and making the image disagree");
    }
    for (PatchFormat writer : {PatchFormat::Ips, PatchFormat::Bps}) {
        Result<std::vector<std::uint8_t>> own = createPatch(writer, image, target);
        Result<PatchResult> again = own ? applyPatch(writer, *own, image) : own.status();
        if (!again || edited(image, again->edit) != target) {
            fail("our own patch does not make the same image");
        }
    }
}

}  // namespace slamwise::fuzz
