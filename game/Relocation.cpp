#include "game/Relocation.h"

#include <algorithm>
#include <string>
#include <vector>

namespace slamwise {

Result<Edit> relocationEdit(const RomFile& rom) {
    std::vector<std::uint8_t> table(kStandardVisualSize);
    if (Status status = rom.read(kStandardVisualTable, table); !status) {
        return status;
    }
    Edit edit;
    edit.putBytes(kRelocatedVisualTable, std::move(table));
    for (std::uint32_t site : kVisualPointerSites) {
        edit.putBytes(site, {kRelocatedPointer.begin(), kRelocatedPointer.end()});
    }
    for (int k = 0; k < kFillerWords; ++k) {
        edit.put16(kRelocatedFiller + 2 * static_cast<std::uint32_t>(k), kFillerWord);
    }
    return edit;
}

RelocationState relocationFromMarkers(std::uint8_t markerA, std::uint8_t markerB) {
    const unsigned long joined = std::stoul(std::to_string(markerA) + std::to_string(markerB));
    if (joined == 0) {
        return RelocationState::Relocated;
    }
    if (joined == 255) {
        return RelocationState::NotRelocated;
    }
    return RelocationState::Unknown;
}

Result<RelocationState> detectRelocation(const RomFile& rom) {
    Result<std::uint8_t> markerA = rom.read8(kMarkerA);
    if (!markerA) {
        return markerA.status();
    }
    Result<std::uint8_t> markerB = rom.read8(kMarkerB);
    if (!markerB) {
        return markerB.status();
    }
    // The eight sites lie within a few hundred bytes: one read holds them all.
    static_assert(std::is_sorted(kVisualPointerSites.begin(), kVisualPointerSites.end()));
    const std::uint32_t first = kVisualPointerSites.front();
    std::vector<std::uint8_t> sites(kVisualPointerSites.back() + kRelocatedPointer.size() - first);
    if (Status status = rom.read(first, sites); !status) {
        return status;
    }
    bool allPatched = true;
    for (std::uint32_t site : kVisualPointerSites) {
        allPatched = allPatched && std::equal(kRelocatedPointer.begin(), kRelocatedPointer.end(),
                                              sites.begin() + (site - first));
    }
    if (allPatched) {
        return RelocationState::Relocated;
    }
    return relocationFromMarkers(*markerA, *markerB);
}

}  // namespace slamwise
