#include "tests/support/EditShapes.h"

#include <algorithm>
#include <random>

namespace slamwise::test {
namespace {

constexpr std::size_t kFirst = 0x100000;

struct Editor {
    std::vector<std::uint8_t>& bytes;
    std::mt19937 random{23};

    std::size_t place(std::size_t length) {
        return kFirst + random() % (bytes.size() - kFirst - length);
    }
    void scatter(int count) {
        for (int i = 0; i < count; ++i) {
            bytes[place(1)] ^= static_cast<std::uint8_t>(1 + random() % 255);
        }
    }
    void stretches(int count) {
        for (int i = 0; i < count; ++i) {
            const std::size_t at = place(16);
            for (std::size_t k = 0, n = 4 + random() % 13; k < n; ++k) {
                bytes[at + k] = static_cast<std::uint8_t>(random());
            }
        }
    }
    void swap(std::size_t length) {
        const std::size_t a = place(length);
        std::size_t b = place(length);
        while (b + length > a && a + length > b) {
            b = place(length);
        }
        std::swap_ranges(bytes.begin() + static_cast<long>(a),
                         bytes.begin() + static_cast<long>(a + length),
                         bytes.begin() + static_cast<long>(b));
    }
    void copy(std::size_t length, int copies) {
        const std::size_t from = place(length);
        const std::vector<std::uint8_t> block(bytes.begin() + static_cast<long>(from),
                                              bytes.begin() + static_cast<long>(from + length));
        for (int i = 0; i < copies; ++i) {
            std::copy(block.begin(), block.end(), bytes.begin() + static_cast<long>(place(length)));
        }
    }
    void runs(int count, std::size_t length) {
        const std::uint8_t values[] = {0x00, 0xFF, 0x00, 0xEA, 0xFF, 0x00, 0x20, 0x00};
        for (int i = 0; i < count; ++i) {
            std::fill_n(bytes.begin() + static_cast<long>(place(length)), length, values[i % 8]);
        }
    }
    void fresh(std::size_t length, int copies) {
        std::vector<std::uint8_t> block(length);
        std::generate(block.begin(), block.end(), [this] { return random(); });
        for (int i = 0; i < copies; ++i) {
            std::copy(block.begin(), block.end(), bytes.begin() + static_cast<long>(place(length)));
        }
    }
};

}  // namespace

const char* shapeName(EditShape shape) {
    const char* const names[] = {"300 scattered bytes", "blocks moved and copied",
                                 "long runs of one value", "mixed"};
    return names[static_cast<int>(shape)];
}

std::vector<std::uint8_t> shapedEdit(EditShape shape, std::vector<std::uint8_t> image) {
    Editor editor{image};
    switch (shape) {
        case EditShape::Scattered:
            editor.scatter(300);
            break;
        case EditShape::Blocks:
            editor.swap(16384);
            editor.copy(20000, 1);
            editor.copy(17000, 1);
            break;
        case EditShape::Runs:
            editor.runs(8, 30000);
            break;
        case EditShape::Mixed:
            editor.scatter(1000);
            editor.stretches(300);
            editor.swap(16384);
            editor.copy(12000, 2);
            editor.runs(5, 26000);
            editor.fresh(256, 2);
            break;
    }
    return image;
}

}  // namespace slamwise::test
