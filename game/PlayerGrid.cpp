#include "game/PlayerGrid.h"

#include <cctype>
#include <charconv>

#include "game/PlayerValues.h"

namespace slamwise {

namespace {

constexpr std::array<std::string_view, kRatingCount> kRatingTitles = {
    "Speed", "3 Pointer", "Dunk", "Passing", "Power", "Steal", "Block", "Clutch"};
constexpr std::array<std::string_view, kRatingCount> kShownTitles = {
    "Visual Speed", "Visual 3 Pointer", "Visual Dunk",  "Visual Passing",
    "Visual Power", "Visual Steal",     "Visual Block", "Visual Clutch"};
constexpr int kFirstRating = 2;
constexpr int kFirstShown = kFirstRating + kRatingCount + 3;

std::size_t at(Rating rating) {
    return static_cast<std::size_t>(rating);
}

bool sameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

// The index of the caption or export name that text is, if any.
template <std::size_t N>
std::optional<int> named(std::string_view text, const std::array<std::string_view, N>& captions,
                         const std::array<std::string_view, N>& exportNames) {
    for (std::size_t i = 0; i < N; ++i) {
        if (sameText(text, captions[i]) || sameText(text, exportNames[i])) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

template <std::size_t N>
std::string listOf(const std::array<std::string_view, N>& captions) {
    std::string list;
    for (std::string_view caption : captions) {
        list += (list.empty() ? "" : ", ") + std::string(caption);
    }
    return list;
}

// Puts a value of the column into the edit (or takes it out).
void put(PlayerEdit& edit, const GridColumn& column, std::optional<int> value) {
    switch (column.kind) {
        case GridColumnKind::Rating:
            edit.ratings[at(column.rating)] = value;
            break;
        case GridColumnKind::Shown:
            edit.shown[at(column.rating)] = value;
            break;
        case GridColumnKind::Ai:
            edit.ai = value;
            break;
        case GridColumnKind::Height:
            edit.height = value ? std::optional(static_cast<Height>(*value)) : std::nullopt;
            break;
        case GridColumnKind::Skin:
            edit.skin = value ? std::optional(static_cast<Skin>(*value)) : std::nullopt;
            break;
        default:
            break;
    }
}

std::optional<int> get(const PlayerEdit& edit, const GridColumn& column) {
    switch (column.kind) {
        case GridColumnKind::Rating:
            return edit.ratings[at(column.rating)];
        case GridColumnKind::Shown:
            return edit.shown[at(column.rating)] ? edit.shown[at(column.rating)]
                                                 : edit.ratings[at(column.rating)];
        case GridColumnKind::Ai:
            return edit.ai;
        case GridColumnKind::Height:
            return edit.height ? std::optional(static_cast<int>(*edit.height)) : std::nullopt;
        case GridColumnKind::Skin:
            return edit.skin ? std::optional(static_cast<int>(*edit.skin)) : std::nullopt;
        default:
            return std::nullopt;
    }
}

bool isEmpty(const PlayerEdit& edit) {
    for (std::size_t r = 0; r < kRatingCount; ++r) {
        if (edit.ratings[r] || edit.shown[r]) {
            return false;
        }
    }
    return !edit.ai && !edit.skin && !edit.height;
}

}  // namespace

GridColumn gridColumn(int column) {
    if (column >= kFirstRating && column < kFirstRating + kRatingCount) {
        return {GridColumnKind::Rating, static_cast<Rating>(column - kFirstRating),
                kRatingTitles[static_cast<std::size_t>(column - kFirstRating)]};
    }
    if (column >= kFirstShown && column < kFirstShown + kRatingCount) {
        return {GridColumnKind::Shown, static_cast<Rating>(column - kFirstShown),
                kShownTitles[static_cast<std::size_t>(column - kFirstShown)]};
    }
    switch (column) {
        case 0:
            return {GridColumnKind::Number, Rating::Speed, "#"};
        case 1:
            return {GridColumnKind::Name, Rating::Speed, "Name"};
        case kFirstRating + kRatingCount:
            return {GridColumnKind::Ai, Rating::Speed, "AI"};
        case kFirstRating + kRatingCount + 1:
            return {GridColumnKind::Height, Rating::Speed, "Height"};
        default:
            return {GridColumnKind::Skin, Rating::Speed, "Skin"};
    }
}

CellRange cellRange(int column) {
    switch (gridColumn(column).kind) {
        case GridColumnKind::Rating:
        case GridColumnKind::Shown:
            return {0, kMaxRating};
        case GridColumnKind::Ai:
            return {kAiSliderMin, kAiSliderMax};
        case GridColumnKind::Height:
            return {0, static_cast<int>(kHeightCaptions.size()) - 1};
        case GridColumnKind::Skin:
            return {0, static_cast<int>(kSkinCaptions.size()) - 1};
        default:
            return {};
    }
}

std::string cellText(int column, int value) {
    const CellRange range = cellRange(column);
    const bool known = value >= range.lowest && value <= range.highest;
    switch (gridColumn(column).kind) {
        case GridColumnKind::Height:
            return known ? std::string(kHeightCaptions[static_cast<std::size_t>(value)]) : "";
        case GridColumnKind::Skin:
            return known ? std::string(kSkinCaptions[static_cast<std::size_t>(value)]) : "";
        default:
            return std::to_string(value);
    }
}

CellInput readCell(int column, std::string_view text) {
    text = trimmed(text);
    const GridColumn which = gridColumn(column);
    if (which.kind == GridColumnKind::Height) {
        if (std::optional<int> height = named(text, kHeightCaptions, kHeightNames)) {
            return {height, {}};
        }
        return {std::nullopt, "is not a height (" + listOf(kHeightCaptions) + ")"};
    }
    if (which.kind == GridColumnKind::Skin) {
        if (std::optional<int> skin = named(text, kSkinCaptions, kSkinNames)) {
            return {skin, {}};
        }
        return {std::nullopt, "is not a skin tone (" + listOf(kSkinCaptions) + ")"};
    }
    if (which.kind == GridColumnKind::Number || which.kind == GridColumnKind::Name) {
        return {std::nullopt, "cannot be changed"};
    }
    // A number, checked as a save checks it; anything else is taken as a number out of range.
    int number = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) {
        number = -1;
    }
    PlayerEdit edit;
    put(edit,
        which.kind == GridColumnKind::Shown ? GridColumn{GridColumnKind::Rating, which.rating, {}}
                                            : which,
        number);
    const std::vector<PlayerEdit::Problem> problems = edit.problems();
    if (!problems.empty()) {
        return {std::nullopt, problems.front().reason};
    }
    return {number, {}};
}

std::string applyLabel(int count, std::string_view singular, std::string_view plural) {
    return "Apply to " + std::to_string(count) + " " + std::string(count == 1 ? singular : plural);
}

Result<PlayerGrid> PlayerGrid::read(const RomFile& rom, VisualLayout layout) {
    Result<std::vector<PlayerRecord>> records = readPlayerRecords(rom);
    if (!records) {
        return records.status();
    }
    Result<std::vector<VisualRatings>> visual = readVisualTable(rom, layout);
    if (!visual) {
        return visual.status();
    }
    PlayerGrid grid;
    grid.layout_ = layout;
    grid.records_ = std::move(records).value();
    grid.visual_ = std::move(visual).value();
    return grid;
}

void PlayerGrid::take(PlayerGrid fresh) {
    layout_ = fresh.layout_;
    records_ = std::move(fresh.records_);
    visual_ = std::move(fresh.visual_);
}

const PlayerEdit* PlayerGrid::pending(int player) const {
    auto found = pending_.find(player);
    return found == pending_.end() ? nullptr : &found->second;
}

std::optional<int> PlayerGrid::stored(int player, int column) const {
    if (player < 0 || player >= static_cast<int>(records_.size())) {
        return std::nullopt;
    }
    const PlayerRecord& record = records_[static_cast<std::size_t>(player)];
    const GridColumn which = gridColumn(column);
    const Player decoded = decodePlayer(record);
    switch (which.kind) {
        case GridColumnKind::Shown: {
            if (!hasVisualRecord(layout_, player) || player >= static_cast<int>(visual_.size())) {
                return std::nullopt;
            }
            const int value = visual_[static_cast<std::size_t>(player)][at(which.rating)];
            return isRating(value) ? std::optional(value) : std::nullopt;
        }
        case GridColumnKind::Rating: {
            const FieldValue shown = shownValue(record, fieldOf(which.rating));
            const long* number = std::get_if<long>(&shown);
            return number ? std::optional(static_cast<int>(*number)) : std::nullopt;
        }
        case GridColumnKind::Ai:
            return isSliderPosition(decoded.ai) ? std::optional(decoded.ai) : std::nullopt;
        case GridColumnKind::Height:
            return decoded.height ? std::optional(static_cast<int>(*decoded.height)) : std::nullopt;
        case GridColumnKind::Skin:
            return decoded.skin ? std::optional(static_cast<int>(*decoded.skin)) : std::nullopt;
        default:
            return std::nullopt;
    }
}

std::optional<int> PlayerGrid::value(int player, int column) const {
    if (const PlayerEdit* edit = pending(player); edit != nullptr && editable(player, column)) {
        if (std::optional<int> given = get(*edit, gridColumn(column))) {
            return given;
        }
    }
    return stored(player, column);
}

std::string PlayerGrid::text(int player, int column, const GameNames& names) const {
    const GridColumn which = gridColumn(column);
    if (which.kind == GridColumnKind::Number) {
        return std::to_string(player);
    }
    if (which.kind == GridColumnKind::Name) {
        return player < static_cast<int>(names.players.size())
                   ? names.players[static_cast<std::size_t>(player)]
                   : std::string();
    }
    if (!editable(player, column)) {
        return {};
    }
    if (std::optional<int> shown = value(player, column)) {
        return cellText(column, *shown);
    }
    // A stored value without a meaning, as the export shows it.
    const PlayerRecord& record = records_[static_cast<std::size_t>(player)];
    switch (which.kind) {
        case GridColumnKind::Shown:
            return rawCell(visual_[static_cast<std::size_t>(player)][at(which.rating)], 2);
        case GridColumnKind::Rating:
            return textOf(shownValue(record, fieldOf(which.rating)));
        case GridColumnKind::Ai:
            return textOf(shownValue(record, PlayerField::Ai));
        case GridColumnKind::Height:
            return textOf(shownValue(record, PlayerField::Height));
        default:
            return textOf(shownValue(record, PlayerField::Skin));
    }
}

bool PlayerGrid::editable(int player, int column) const {
    if (player < 0 || player >= static_cast<int>(records_.size())) {
        return false;
    }
    switch (gridColumn(column).kind) {
        case GridColumnKind::Number:
        case GridColumnKind::Name:
            return false;
        case GridColumnKind::Shown:
            return hasVisualRecord(layout_, player) && player < static_cast<int>(visual_.size());
        default:
            return true;
    }
}

bool PlayerGrid::changed(int player, int column) const {
    const PlayerEdit* edit = pending(player);
    return edit != nullptr && editable(player, column) &&
           get(*edit, gridColumn(column)).has_value();
}

bool PlayerGrid::set(int player, int column, int value) {
    const CellRange range = cellRange(column);
    if (!editable(player, column) || value < range.lowest || value > range.highest) {
        return false;
    }
    const GridColumn which = gridColumn(column);
    PlayerEdit& edit = pending_[player];
    edit.player = player;
    // The stored value takes the change back, unless a displayed rating must keep its own
    // value against a changed playing one.
    const bool back = value == stored(player, column) &&
                      (which.kind != GridColumnKind::Shown || !edit.ratings[at(which.rating)]);
    put(edit, which, back ? std::nullopt : std::optional(value));
    if (isEmpty(edit)) {
        pending_.erase(player);
    }
    return true;
}

std::vector<PlayerEdit> PlayerGrid::edits() const {
    std::vector<PlayerEdit> all;
    all.reserve(pending_.size());
    for (const auto& [player, edit] : pending_) {
        all.push_back(edit);
    }
    return all;
}

}  // namespace slamwise
