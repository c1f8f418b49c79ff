#include "image/Changes.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>
#include <utility>

#include "game/ActualTable.h"
#include "game/CheatBytes.h"
#include "game/Checksum.h"
#include "game/Relocation.h"
#include "game/RosterTable.h"
#include "game/VisualTable.h"

namespace slamwise {

namespace {

using Bytes = std::span<const std::uint8_t>;

// The fields of an actual record in the export's column order, with their bytes.
struct FieldBytes {
    PlayerField field;
    std::uint32_t offset;
    std::uint32_t width;
};
constexpr FieldBytes kFieldBytes[] = {
    {PlayerField::Height, kHeightField, 1}, {PlayerField::Speed, kSpeedField, 2},
    {PlayerField::Three, kThreeField, 2},   {PlayerField::Dunk, kDunkField, 1},
    {PlayerField::Pass, kPassField, 1},     {PlayerField::Power, kPowerField, 1},
    {PlayerField::Steal, kStealField, 1},   {PlayerField::Block, kBlockField, 1},
    {PlayerField::Clutch, kClutchField, 1}, {PlayerField::Ai, kAiField, 2},
    {PlayerField::Skin, kSkinField, 2},
};
constexpr const char* kValueColumn = "value";

std::string hexText(const char* format, unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The text after "12-" in a roster list entry: "Player 018", "End of Team Roster Data".
std::string entryName(const GameNames& names, std::uint8_t code) {
    std::string text = rosterEntryText(names, code);
    return text.size() > 3 && text[2] == '-' ? text.substr(3) : text;
}

std::string switchName(int byte, int bit) {
    std::string name((byte == 0 ? kCheat1Entries : kCheat2Entries)[static_cast<std::size_t>(bit)]);
    while (!name.empty() && name.back() == '*') {
        name.pop_back();
    }
    return name;
}

// One comparison: the two images, which of their bytes the decoded data accounts for, and the
// changes found so far.
class Comparison {
  public:
    Comparison(Bytes before, Bytes after, const GameNames& names)
        : before_(before), after_(after), names_(names), covered_(before.size()) {}

    bool holds(std::uint32_t offset, std::size_t size) const {
        return std::size_t{offset} + size <= before_.size();
    }
    void cover(std::uint32_t offset, std::size_t size) {
        std::fill_n(covered_.begin() + offset, size, std::uint8_t{1});
    }
    bool same(std::uint32_t offset, std::size_t size) const {
        return std::equal(before_.begin() + offset, before_.begin() + offset + size,
                          after_.begin() + offset);
    }
    static std::uint16_t word(Bytes image, std::uint32_t offset) {
        return static_cast<std::uint16_t>(image[offset] | (image[offset + 1] << 8));
    }

    void add(Change change) { changes_.push_back(std::move(change)); }
    void players(const ReleaseFacts& facts, std::optional<VisualLayout> layout);
    void actual(int player);
    void visual(int player, VisualLayout layout);
    void rosters();
    void cheats();
    void checksum();
    void otherBytes();
    std::vector<Change> result() && { return std::move(changes_); }

  private:
    Change playerChange(ChangeKind kind, int player, std::string field) const {
        Change change{.kind = kind, .index = player, .field = std::move(field)};
        const auto at = static_cast<std::size_t>(player);
        change.name = at < names_.players.size() ? names_.players[at] : std::string();
        return change;
    }

    Bytes before_;
    Bytes after_;
    const GameNames& names_;
    std::vector<std::uint8_t> covered_;  // 1 for a byte of decoded data
    std::vector<Change> changes_;
};

void Comparison::players(const ReleaseFacts& facts, std::optional<VisualLayout> layout) {
    const bool actualTable =
        facts.playerData && holds(kActualTable, std::size_t{kActualStride} * kPlayerCount);
    const bool relocated = layout.has_value() && *layout == VisualLayout::Relocated;
    if (layout &&
        !holds(visualOffset(*layout, 0),
               std::size_t{kVisualStride} * (relocated ? kPlayerCount : kStandardVisualRecords))) {
        layout.reset();
    }
    for (int player = 0; player < kPlayerCount; ++player) {
        if (actualTable) {
            actual(player);
        }
        if (layout && hasVisualRecord(*layout, player)) {
            visual(player, *layout);
        }
    }
}

void Comparison::actual(int player) {
    const std::uint32_t base = actualOffset(player);
    cover(base + kValueField, 1);
    for (const FieldBytes& field : kFieldBytes) {
        cover(base + field.offset, field.width);
    }
    if (same(base, kActualStride)) {
        return;
    }
    const PlayerRecord old = decodePlayerRecord(before_.subspan(base).first<kActualStride>());
    const PlayerRecord now = decodePlayerRecord(after_.subspan(base).first<kActualStride>());
    if (old.value != now.value) {
        Change change = playerChange(ChangeKind::Player, player, kValueColumn);
        change.before = long{old.value};
        change.after = long{now.value};
        add(std::move(change));
    }
    for (const FieldBytes& field : kFieldBytes) {
        FieldValue from = shownValue(old, field.field);
        FieldValue to = shownValue(now, field.field);
        if (from != to) {
            Change change =
                playerChange(ChangeKind::Player, player, std::string(nameOf(field.field)));
            change.before = std::move(from);
            change.after = std::move(to);
            add(std::move(change));
        }
    }
}

void Comparison::visual(int player, VisualLayout layout) {
    const std::uint32_t base = visualOffset(layout, player);
    for (int r = 0; r < kVisualRatingCount; ++r) {
        const std::uint32_t at = base + kVisualRatingStep * static_cast<std::uint32_t>(r);
        cover(at, 1);
        if (before_[at] != after_[at]) {
            Change change =
                playerChange(ChangeKind::Visual, player,
                             "visual_" + std::string(nameOf(fieldOf(static_cast<Rating>(r)))));
            change.before = long{before_[at]};
            change.after = long{after_[at]};
            add(std::move(change));
        }
    }
}

void Comparison::rosters() {
    if (!holds(kRosterTable, std::size_t{kRosterTeamSize} * kRosterTeamCount)) {
        return;
    }
    constexpr std::pair<std::uint32_t, int> kBytes[] = {
        {kSlotPosition1, 1}, {kSlotCompanion, 0}, {kSlotPosition2, 2}};
    for (int team = 0; team < kRosterTeamCount; ++team) {
        for (int slot = 0; slot < kRosterSlotCount; ++slot) {
            const std::uint32_t base =
                teamOffset(team) + kRosterSlotSize * static_cast<std::uint32_t>(slot);
            for (auto [byte, position] : kBytes) {
                const std::uint32_t at = base + byte;
                cover(at, 1);
                if (before_[at] == after_[at]) {
                    continue;
                }
                Change change{.kind = ChangeKind::Roster,
                              .field = position == 0 ? "companion" : "",
                              .team = team,
                              .slot = slot + 1,
                              .position = position,
                              .before = hexText("0x%02X", before_[at]),
                              .after = hexText("0x%02X", after_[at])};
                if (position != 0) {
                    change.beforeName = entryName(names_, before_[at]);
                    change.afterName = entryName(names_, after_[at]);
                }
                add(std::move(change));
            }
        }
    }
}

void Comparison::cheats() {
    static_assert(kCheatByte2 == kCheatByte1 + 1);
    if (!holds(kCheatByte1, 2)) {
        return;
    }
    cover(kCheatByte1, 2);
    for (int byte = 0; byte < 2; ++byte) {
        const CheatList old =
            unpackCheatList(before_[kCheatByte1 + static_cast<std::uint32_t>(byte)]);
        const CheatList now =
            unpackCheatList(after_[kCheatByte1 + static_cast<std::uint32_t>(byte)]);
        for (int bit = 0; bit < kCheatsPerByte; ++bit) {
            const auto at = static_cast<std::size_t>(bit);
            if (old[at] != now[at]) {
                add({.kind = ChangeKind::Cheat,
                     .name = switchName(byte, bit),
                     .before = old[at] ? "on" : "off",
                     .after = now[at] ? "on" : "off"});
            }
        }
    }
}

void Comparison::checksum() {
    if (!holds(kChecksumComplementOffset, kChecksumEnd - kChecksumComplementOffset)) {
        return;
    }
    cover(kChecksumComplementOffset, kChecksumEnd - kChecksumComplementOffset);
    for (auto [field, offset] : {std::pair{"checksum", kChecksumOffset},
                                 std::pair{"complement", kChecksumComplementOffset}}) {
        if (!same(offset, 2)) {
            add({.kind = ChangeKind::Checksum,
                 .field = field,
                 .before = hexText("0x%04X", word(before_, offset)),
                 .after = hexText("0x%04X", word(after_, offset))});
        }
    }
}

void Comparison::otherBytes() {
    auto from = before_.begin();
    while (true) {
        from = std::mismatch(from, before_.end(), after_.begin() + (from - before_.begin())).first;
        if (from == before_.end()) {
            return;
        }
        auto at = static_cast<std::uint32_t>(from - before_.begin());
        std::uint32_t end = at;
        while (end < before_.size() && before_[end] != after_[end]) {
            ++end;
        }
        from = before_.begin() + end;
        // The run, less the bytes of decoded data, in pieces.
        while (at < end) {
            while (at < end && covered_[at] != 0) {
                ++at;
            }
            std::uint32_t last = at;
            while (last < end && covered_[last] == 0) {
                ++last;
            }
            if (last > at) {
                add({.kind = ChangeKind::Bytes, .offset = at, .length = last - at});
            }
            at = last;
        }
    }
}

}  // namespace

std::string_view nameOf(ChangeKind kind) {
    constexpr std::string_view kNames[] = {"player",     "visual",   "roster", "cheat",
                                           "relocation", "checksum", "bytes"};
    return kNames[static_cast<std::size_t>(kind)];
}

std::vector<std::uint8_t> withEdit(std::span<const std::uint8_t> image, const Edit& edit) {
    std::vector<std::uint8_t> result(image.begin(), image.end());
    for (const Edit::Write& write : edit.writes()) {
        for (std::size_t i = 0; i < write.bytes.size() && write.offset + i < result.size(); ++i) {
            result[write.offset + i] = write.bytes[i];
        }
    }
    return result;
}

std::vector<Change> gameChangesBetween(std::span<const std::uint8_t> before,
                                       std::span<const std::uint8_t> after, Release release,
                                       const GameNames& names) {
    const std::size_t common = std::min(before.size(), after.size());
    Bytes old = before.first(common);
    const Bytes now = after.first(common);
    const ReleaseFacts& facts = factsOf(release);
    const RelocationState from = facts.visualData ? relocationIn(old) : RelocationState::Unknown;
    const RelocationState to = facts.visualData ? relocationIn(now) : RelocationState::Unknown;
    std::optional<VisualLayout> layout;
    if (from == to && from != RelocationState::Unknown) {
        layout =
            from == RelocationState::Relocated ? VisualLayout::Relocated : VisualLayout::Standard;
    }
    Change relocation{.kind = ChangeKind::Relocation};
    std::vector<std::uint8_t> relocated;  // `before` as the relocation would leave it
    if (from == RelocationState::NotRelocated && to == RelocationState::Relocated &&
        old.size() >= kStandardVisualTable + kStandardVisualSize) {
        relocated = withEdit(
            old, relocationEdit(old.subspan(kStandardVisualTable).first<kStandardVisualSize>()));
        old = relocated;
        layout = VisualLayout::Relocated;
        relocation.before = "standard";
        relocation.after = "relocated";
    }
    Comparison comparison(old, now, names);
    if (from == RelocationState::Relocated && to == RelocationState::NotRelocated) {
        comparison.cover(kRelocatedVisualTable,
                         kRelocatedFiller + 2 * kFillerWords - kRelocatedVisualTable);
        for (std::uint32_t site : kVisualPointerSites) {
            comparison.cover(site, kRelocatedPointer.size());
        }
        layout = VisualLayout::Standard;
        relocation.before = "relocated";
        relocation.after = "standard";
    }
    if (relocation.before != relocation.after) {
        comparison.add(relocation);
    }
    comparison.players(facts, layout);
    comparison.rosters();
    if (facts.cheats) {
        comparison.cheats();
    }
    comparison.checksum();
    comparison.otherBytes();
    std::vector<Change> changes = std::move(comparison).result();
    if (before.size() != after.size()) {
        changes.push_back(
            {.kind = ChangeKind::Bytes,
             .offset = static_cast<std::uint32_t>(common),
             .length = static_cast<std::uint32_t>(std::max(before.size(), after.size()) - common)});
    }
    return changes;
}

std::string describe(const Change& change) {
    const std::string from = textOf(change.before);
    const std::string to = textOf(change.after);
    switch (change.kind) {
        case ChangeKind::Player:
        case ChangeKind::Visual: {
            std::string field = change.field;
            if (change.kind == ChangeKind::Visual && field.starts_with("visual_")) {
                field[6] = ' ';
            }
            char player[16];
            std::snprintf(player, sizeof player, "Player %03d", change.index);
            return player + (" (" + change.name + "): ") + field + " " + from + " -> " + to;
        }
        case ChangeKind::Roster: {
            char slot[32];
            std::snprintf(slot, sizeof slot, "Team %02d slot %d: ", change.team, change.slot);
            if (change.position == 0) {
                return slot + ("companion byte " + from + " -> " + to);
            }
            return slot + ("position " + std::to_string(change.position) + " " + from + " (" +
                           change.beforeName + ") -> " + to + " (" + change.afterName + ")");
        }
        case ChangeKind::Cheat:
            return "Cheat \"" + change.name + "\": " + from + " -> " + to;
        case ChangeKind::Relocation:
            return to == "relocated" ? "Visual table relocated"
                                     : "Visual table back in its standard place";
        case ChangeKind::Checksum:
            return (change.field == "complement" ? "Checksum complement: " : "Checksum: ") + from +
                   " -> " + to;
        case ChangeKind::Bytes:
            break;
    }
    if (change.length == 1) {
        return "Other bytes: " + hexOffset(change.offset) + " (1 byte)";
    }
    return "Other bytes: " + hexOffset(change.offset) + "-" +
           hexOffset(change.offset + change.length - 1) + " (" + std::to_string(change.length) +
           " bytes)";
}

std::string summarize(const std::vector<Change>& changes) {
    std::set<int> players;
    std::set<std::pair<int, int>> slots;
    std::size_t switches = 0;
    std::size_t bytes = 0;
    bool relocation = false;
    bool checksum = false;
    for (const Change& change : changes) {
        switch (change.kind) {
            case ChangeKind::Player:
            case ChangeKind::Visual:
                players.insert(change.index);
                break;
            case ChangeKind::Roster:
                slots.insert({change.team, change.slot});
                break;
            case ChangeKind::Cheat:
                ++switches;
                break;
            case ChangeKind::Relocation:
                relocation = true;
                break;
            case ChangeKind::Checksum:
                checksum = true;
                break;
            case ChangeKind::Bytes:
                bytes += change.length;
                break;
        }
    }
    std::vector<std::string> parts;
    auto count = [&parts](std::size_t n, const char* one, const char* many) {
        if (n != 0) {
            parts.push_back(std::to_string(n) + " " + (n == 1 ? one : many));
        }
    };
    count(players.size(), "player", "players");
    count(slots.size(), "roster slot", "roster slots");
    count(switches, "cheat switch", "cheat switches");
    if (relocation) {
        parts.push_back("the visual table relocation");
    }
    if (checksum) {
        parts.push_back("the checksum");
    }
    count(bytes, "other byte", "other bytes");
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : ", ") + part;
    }
    return text.empty() ? "no changes" : text;
}

}  // namespace slamwise
