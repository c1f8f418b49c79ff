#include "player/VisualTable.h"

namespace slamwise {

Result<VisualRatings> readVisualRatings(const RomFile& rom, VisualLayout layout, int player) {
    VisualRatings ratings{};
    const std::uint32_t base = visualOffset(layout, player);
    for (int i = 0; i < kVisualRatingCount; ++i) {
        Result<std::uint8_t> read =
            rom.read8(base + kVisualRatingStep * static_cast<std::uint32_t>(i));
        if (!read) {
            return read.status();
        }
        ratings[static_cast<std::size_t>(i)] = *read;
    }
    return ratings;
}

}  // namespace slamwise
