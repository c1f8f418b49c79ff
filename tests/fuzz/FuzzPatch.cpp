// Fuzzing of the patch readers (SLAMWISE_FUZZ_BPS: BPS, else IPS): the input is a patch for a
// small fixed image. Applying it is refused, or gives writes inside the image that make the
// image patchedImage makes; our own patches from the image to that result make it again.
// A BPS input starts with a flags byte that puts right what a fuzzer could hardly guess:
//   flag 0x01  the source CRC32 is set to that of the fixed image
//   flag 0x02  the patch's own CRC32 is set to match (after flag 0x01)
#include <zlib.h>

#include "patch/Patch.h"
#include "tests/fuzz/Check.h"

using namespace slamwise;
using fuzz::applied;
using fuzz::check;
using Bytes = std::vector<std::uint8_t>;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Bytes image = fuzz::fixedImage(4096);
#ifdef SLAMWISE_FUZZ_BPS
    constexpr PatchFormat kFormat = PatchFormat::Bps;
    if (size == 0) {
        return 0;
    }
    Bytes patch(data + 1, data + size);
    auto put32 = [&patch](std::size_t fromEnd, uLong value) {
        for (std::size_t i = 0; i < 4; ++i) {
            patch[patch.size() - fromEnd + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    };
    if ((data[0] & 0x01) && patch.size() >= 12) {
        put32(12, crc32(0, image.data(), static_cast<uInt>(image.size())));
    }
    if ((data[0] & 0x02) && patch.size() >= 4) {
        put32(4, crc32(0, patch.data(), static_cast<uInt>(patch.size() - 4)));
    }
#else
    constexpr PatchFormat kFormat = PatchFormat::Ips;
    const Bytes patch(data, data + size);
#endif
    Result<PatchResult> result = applyPatch(kFormat, patch, image);
    if (!result) {
        return 0;
    }
    const Bytes target = applied(image, result->edit);
    Result<Bytes> made = patchedImage(kFormat, patch, image);
    check(made && *made == target, "applying and making the image disagree");
    if (target == image) {
        return 0;  // no patch is made between identical images
    }
    for (PatchFormat writer : {PatchFormat::Ips, PatchFormat::Bps}) {
        Result<Bytes> own = createPatch(writer, image, target);
        Result<PatchResult> again = own ? applyPatch(writer, *own, image) : own.status();
        check(again && applied(image, again->edit) == target, "our own patch makes another image");
    }
    return 0;
}
