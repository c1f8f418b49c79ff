#include "game/Relocation.h"

#include <algorithm>
#include <string>
#include <vector>

namespace slamwise {

namespace {

// The eight sites lie within a few hundred bytes: one read holds them all.
static_assert(std::is_sorted(kVisualPointerSites.begin(), kVisualPointerSites.end()));
constexpr std::uint32_t kFirstSite = kVisualPointerSites.front();
constexpr std::size_t kSitesSize =
    kVisualPointerSites.back() + kRelocatedPointer.size() - kFirstSite;

// The marker rule, overruled by the pointers; sites holds the bytes from the first site on.
RelocationState relocationFrom(std::uint8_t markerA, std::uint8_t markerB,
                               std::span<const std::uint8_t, kSitesSize> sites) {
    bool allPatched = true;
    for (std::uint32_t site : kVisualPointerSites) {
        allPatched = allPatched && std::equal(kRelocatedPointer.begin(), kRelocatedPointer.end(),
                                              sites.begin() + (site - kFirstSite));
    }
    return allPatched ? RelocationState::Relocated : relocationFromMarkers(markerA, markerB);
}

}  // namespace

Result<Edit> relocationEdit(const RomFile& rom) {
    std::array<std::uint8_t, kStandardVisualSize> table{};
    if (Status status = rom.read(kStandardVisualTable, table); !status) {
        return status;
    }
    return relocationEdit(table);
}

Edit relocationEdit(std::span<const std::uint8_t, kStandardVisualSize> standardTable) {
    Edit edit;
    edit.putBytes(kRelocatedVisualTable, {standardTable.begin(), standardTable.end()});
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
    std::array<std::uint8_t, kSitesSize> sites{};
    if (Status status = rom.read(kFirstSite, sites); !status) {
        return status;
    }
    return relocationFrom(*markerA, *markerB, sites);
}

RelocationState relocationIn(std::span<const std::uint8_t> image) {
    if (image.size() <= kMarkerB || image.size() < kFirstSite + kSitesSize) {
        return RelocationState::Unknown;
    }
    return relocationFrom(image[kMarkerA], image[kMarkerB],
                          image.subspan(kFirstSite).first<kSitesSize>());
}

}  // namespace slamwise
