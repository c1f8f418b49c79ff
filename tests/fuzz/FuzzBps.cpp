// Fuzzing of the BPS reader: the input is a flags byte, then a patch for a small fixed image.
// The flags put right what a fuzzer could hardly guess, so the actions get fuzzed too:
//   flag 0x01  the source CRC32 is set to that of the fixed image
//   flag 0x02  the patch's own CRC32 is set to match (after flag 0x01)
#include <zlib.h>

#include "tests/fuzz/FuzzPatch.h"

namespace {

void put32(std::vector<std::uint8_t>& bytes, std::size_t at, uLong value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace slamwise;
    if (size == 0) {
        return 0;
    }
    std::vector<std::uint8_t> patch(data + 1, data + size);
    if ((data[0] & 0x01) && patch.size() >= 12) {
        const std::vector<std::uint8_t>& image = fuzz::fixedImage();
        put32(patch, patch.size() - 12, crc32(0, image.data(), static_cast<uInt>(image.size())));
    }
    if ((data[0] & 0x02) && patch.size() >= 4) {
        put32(patch, patch.size() - 4, crc32(0, patch.data(), static_cast<uInt>(patch.size() - 4)));
    }
    fuzz::checkPatch(PatchFormat::Bps, patch);
    return 0;
}
