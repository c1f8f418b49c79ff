// Round trips through the patch writers: the input is a list of edits of a small fixed image;
// the IPS and the BPS patch from the image to the edited one make the edited image again, and
// the dry run's ranges are exactly the bytes that differ.
// Each edit is five bytes: kind, offset (two bytes, big-endian), length, value.
//   kind % 4 == 0  a run of `value`, length + 1 bytes
//   kind % 4 == 1  one byte changed (xor value | 1)
//   kind % 4 == 2  (length + 1) * 8 bytes copied from offset value * 16 (the copy may overlap)
//   kind % 4 == 3  length + 1 new bytes (value, value * 3, value * 9, ...)
#include <algorithm>
#include <cstring>

#include "patch/Patch.h"
#include "storage/ChangedRanges.h"
#include "tests/fuzz/Check.h"

namespace {

using namespace slamwise;
using fuzz::applied;
using fuzz::check;
using Bytes = std::vector<std::uint8_t>;

void editOnce(Bytes& bytes, const std::uint8_t* in) {
    const std::size_t at = (std::size_t{in[1]} << 8 | in[2]) % bytes.size();
    const std::size_t room = bytes.size() - at;
    const std::uint8_t value = in[4];
    switch (in[0] % 4) {
        case 0:
            std::fill_n(bytes.begin() + static_cast<long>(at),
                        std::min<std::size_t>(in[3] + 1, room), value);
            break;
        case 1:
            bytes[at] ^= value | 1;
            break;
        case 2: {
            const std::size_t from = std::size_t{value} * 16 % bytes.size();
            const std::size_t length =
                std::min({(std::size_t{in[3]} + 1) * 8, room, bytes.size() - from});
            std::memmove(bytes.data() + at, bytes.data() + from, length);
            break;
        }
        default: {
            std::uint8_t next = value;
            for (std::size_t k = 0; k < std::min<std::size_t>(in[3] + 1, room); ++k, next *= 3) {
                bytes[at + k] = next;
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Bytes image = fuzz::fixedImage(8192);
    Bytes edited = image;
    for (std::size_t at = 0; at + 5 <= size; at += 5) {
        editOnce(edited, data + at);
    }
    if (edited == image) {
        check(!createPatch(PatchFormat::Bps, image, edited), "a patch between identical images");
        return 0;
    }
    for (PatchFormat format : {PatchFormat::Ips, PatchFormat::Bps}) {
        Result<Bytes> patch = createPatch(format, image, edited);
        check(patch.ok(), "no patch was made");
        Result<PatchResult> result = applyPatch(*patch, image, {});
        check(result && applied(image, result->edit) == edited, "the patch makes another image");
        Result<Bytes> made = patchedImage(format, *patch, image);
        check(made && *made == edited, "the patch makes another image when not applied in place");
        std::size_t listed = 0;
        for (const ChangedRange& range : changedRanges(image, result->edit)) {
            for (std::size_t k = 0; k < range.after.size(); ++k) {
                check(range.before[k] == image[range.offset + k] &&
                          range.after[k] == edited[range.offset + k] &&
                          range.before[k] != range.after[k],
                      "a listed byte that does not change");
            }
            listed += range.after.size();
        }
        check(listed == result->changedBytes, "the ranges leave out changed bytes");
    }
    return 0;
}
