#pragma once

#include <cstdint>
#include <vector>

namespace slamwise::test {

// The edits patches are measured on, made on a copy of an image with seeded random places and
// values, always the same for the same image. Every edit lies past the first MiB, clear of the
// internal header, so that the edited image is still known as the same release.
enum class EditShape {
    Scattered,  // 300 single bytes
    Blocks,     // two 16 KiB blocks swapped, blocks of 20,000 and 17,000 bytes copied elsewhere
    Runs,       // eight runs of 30,000 bytes of one value
    Mixed,      // some of each: bytes, short stretches, blocks, runs, and new bytes put twice
};
inline constexpr EditShape kEditShapes[] = {EditShape::Scattered, EditShape::Blocks,
                                            EditShape::Runs, EditShape::Mixed};

const char* shapeName(EditShape shape);
std::vector<std::uint8_t> shapedEdit(EditShape shape, std::vector<std::uint8_t> image);

}  // namespace slamwise::test
