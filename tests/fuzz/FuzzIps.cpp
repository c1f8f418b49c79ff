// Fuzzing of the IPS reader: the input is a patch for a small fixed image.
#include "tests/fuzz/FuzzPatch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    slamwise::fuzz::checkPatch(slamwise::PatchFormat::Ips, {data, size});
    return 0;
}
