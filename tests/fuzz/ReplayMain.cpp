// Runs a fuzzing harness over the saved corpus without the fuzzer: every file in the folders
// named on the command line is one input.
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "tests/support/ImageBuilder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
            std::vector<std::uint8_t> bytes = slamwise::test::readFile(entry.path().string());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++inputs;
        }
    }
    std::printf("replayed %d inputs\n", inputs);
    return inputs == 0;
}
