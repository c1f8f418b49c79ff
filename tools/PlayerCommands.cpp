// players export / players import: the actual records (and the visual ratings) as a table.

#include <algorithm>
#include <array>
#include <cctype>
#include <map>

#include "player/ActualTable.h"
#include "player/Relocation.h"
#include "player/VisualTable.h"
#include "tools/Commands.h"
#include "tools/TableInput.h"

namespace slamwise::cli {

namespace {

// The eight ratings in the order of the visual record, which the table columns follow.
constexpr int kRatingCount = kVisualRatingCount;
enum RatingIndex { kSpeed, kThree, kDunk, kPass, kPower, kSteal, kBlock, kClutch };
constexpr std::array<const char*, kRatingCount> kRatingColumns = {
    "speed", "three_point", "dunk", "pass", "power", "steal", "block", "clutch"};
constexpr std::array<const char*, kRatingCount> kVisualColumns = {
    "visual_speed", "visual_three_point", "visual_dunk",  "visual_pass",
    "visual_power", "visual_steal",       "visual_block", "visual_clutch"};
// Where each rating lies in the actual record.
constexpr std::array<std::uint32_t, kRatingCount> kRatingFields = {
    kSpeedField, kThreeField, kDunkField,  kPassField,
    kPowerField, kStealField, kBlockField, kClutchField};

constexpr const char* kIndexColumn = "index";
constexpr const char* kNameColumn = "name";
constexpr const char* kValueColumn = "value";
constexpr const char* kHeightColumn = "height";
constexpr const char* kAiColumn = "ai";
constexpr const char* kSkinColumn = "skin";

constexpr std::array<const char*, 3> kSkinNames = {"black", "black-unused", "white"};
constexpr std::array<const char*, 2> kHeightNames = {"normal", "small"};

std::vector<std::string> playerColumns() {
    std::vector<std::string> columns = {kIndexColumn, kNameColumn, kValueColumn, kHeightColumn};
    columns.insert(columns.end(), kRatingColumns.begin(), kRatingColumns.end());
    columns.push_back(kAiColumn);
    columns.push_back(kSkinColumn);
    columns.insert(columns.end(), kVisualColumns.begin(), kVisualColumns.end());
    return columns;
}

// A player's fields as the editor understands them. Nothing stands for a stored value that has
// no meaning (a code in no table, a rating above 10, ...): such a field is exported raw and is
// never written.
struct Meaning {
    std::array<std::optional<int>, kRatingCount> ratings;
    std::optional<int> ai;  // slider position 0..16
    std::optional<Skin> skin;
    std::optional<std::uint8_t> height;
    bool operator==(const Meaning&) const = default;
};

// The stored form of each rating, in column order.
std::array<unsigned, kRatingCount> storedRatings(const PlayerRecord& record) {
    return {record.speedCode, record.threeCode, record.dunk,  record.pass,
            record.power,     record.steal,     record.block, record.clutch};
}

std::optional<int> plainRating(std::uint8_t byte) {
    return byte <= kMaxRating ? std::optional<int>(byte) : std::nullopt;
}

Meaning meaningOf(const PlayerRecord& record) {
    Meaning meaning;
    meaning.ratings = {speedFromCode(record.speedCode), threeFromCode(record.threeCode),
                       plainRating(record.dunk),        plainRating(record.pass),
                       plainRating(record.power),       plainRating(record.steal),
                       plainRating(record.block),       plainRating(record.clutch)};
    int ai = static_cast<std::int16_t>(record.aiWord) + kAiSliderZero;
    if (ai >= kAiSliderMin && ai <= kAiSliderMax) {
        meaning.ai = ai;
    }
    meaning.skin = skinFromCode(record.skinCode);
    if (record.height == kHeightNormal || record.height == kHeightSmall) {
        meaning.height = record.height;
    }
    return meaning;
}

// Stored width of each rating in hex digits, for its raw form.
int rawDigits(int rating) {
    return rating == kSpeed || rating == kThree ? 4 : 2;
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

VisualLayout layoutOf(RelocationState state) {
    return state == RelocationState::Relocated ? VisualLayout::Relocated : VisualLayout::Standard;
}

// Opens the image, refusing releases without player data, and finds the visual layout.
struct PlayerImage {
    OpenImage image;
    VisualLayout layout;
};

Result<PlayerImage> openPlayerImage(const std::string& path, RomFile::Access access) {
    Result<OpenImage> image = openImage(path, access);
    if (!image) {
        return image.status();
    }
    if (Status status = requirePlayerData(*image); !status) {
        return status;
    }
    Result<RelocationState> state = detectRelocation(image->rom);
    if (!state) {
        return state.status();
    }
    return PlayerImage{std::move(image).value(), layoutOf(*state)};
}

// Adds a player's save to the edit as the window's Apply does it: the actual record, then the
// visual record of the layout in use (when it has one for the player). Fields without a meaning
// are left out: their bytes stay as they are.
void addPlayerSave(Edit& edit, int player, VisualLayout layout, const Meaning& target,
                   const std::array<unsigned, kRatingCount>& stored,
                   const std::optional<VisualRatings>& currentVisual) {
    const std::uint32_t base = actualOffset(player);
    std::set<std::uint32_t> keep;
    PlayerValues values;
    std::array<std::uint8_t*, kRatingCount> plain = {nullptr,       nullptr,       &values.dunk,
                                                     &values.pass,  &values.power, &values.steal,
                                                     &values.block, &values.clutch};
    for (int r = kDunk; r < kRatingCount; ++r) {
        const auto slot = static_cast<std::size_t>(r);
        *plain[slot] = static_cast<std::uint8_t>(
            target.ratings[slot].value_or(static_cast<int>(stored[slot])));
        if (!target.ratings[slot]) {
            keep.insert(base + kRatingFields[slot]);
        }
    }
    values.speed = target.ratings[kSpeed];
    values.three = target.ratings[kThree];
    values.aiSlider = target.ai.value_or(kAiSliderZero);
    if (!target.ai) {
        keep.insert(base + kAiField);
    }
    values.skin = target.skin;
    values.height = target.height;

    Edit save;
    writePlayerRecord(save, player, values);
    if (currentVisual) {
        VisualRatings visual{};
        for (int r = 0; r < kRatingCount; ++r) {
            const auto slot = static_cast<std::size_t>(r);
            visual[slot] =
                static_cast<std::uint8_t>(target.ratings[slot].value_or((*currentVisual)[slot]));
            if (!target.ratings[slot]) {
                keep.insert(visualOffset(layout, player) +
                            kVisualRatingStep * static_cast<std::uint32_t>(r));
            }
        }
        writeVisualRatings(save, layout, player, visual);
    }
    const Edit kept = withoutWritesAt(save, keep);
    for (const Edit::Write& write : kept.writes()) {
        edit.putBytes(write.offset, write.bytes);
    }
}

}  // namespace

int exportPlayers(Io io, const ExportOptions& options) {
    Result<PlayerImage> opened = openPlayerImage(options.image, RomFile::Access::ReadOnly);
    if (!opened) {
        return fail(io, opened.error());
    }
    Result<GameNames> names = namesFor(options.image, options.names);
    if (!names) {
        return fail(io, names.error());
    }
    const RomFile& rom = opened->image.rom;
    std::vector<std::vector<Cell>> rows;
    for (int player = 0; player < kPlayerCount; ++player) {
        Result<PlayerRecord> record = readPlayerRecord(rom, player);
        if (!record) {
            return fail(io, record.error());
        }
        Meaning meaning = meaningOf(*record);
        std::array<unsigned, kRatingCount> stored = storedRatings(*record);
        std::vector<Cell> row = {long{player}, names->players[static_cast<std::size_t>(player)],
                                 long{record->value}};
        row.push_back(meaning.height ? Cell(std::string(kHeightNames[*meaning.height]))
                                     : Cell(rawCell(record->height, 2)));
        for (int r = 0; r < kRatingCount; ++r) {
            const std::optional<int>& rating = meaning.ratings[static_cast<std::size_t>(r)];
            row.push_back(rating
                              ? Cell(long{*rating})
                              : Cell(rawCell(stored[static_cast<std::size_t>(r)], rawDigits(r))));
        }
        row.push_back(meaning.ai ? Cell(long{*meaning.ai}) : Cell(rawCell(record->aiWord, 4)));
        row.push_back(meaning.skin ? Cell(std::string(kSkinNames[static_cast<int>(*meaning.skin)]))
                                   : Cell(rawCell(record->skinCode, 4)));
        if (hasVisualRecord(opened->layout, player)) {
            Result<VisualRatings> visual = readVisualRatings(rom, opened->layout, player);
            if (!visual) {
                return fail(io, visual.error());
            }
            for (std::uint8_t rating : *visual) {
                row.push_back(long{rating});
            }
        } else {
            row.resize(row.size() + kRatingCount);
        }
        rows.push_back(std::move(row));
    }
    writeTable(io.out, options.format, playerColumns(), rows);
    return kExitSuccess;
}

int importPlayers(Io io, const ImportOptions& options) {
    Result<PlayerImage> opened = openPlayerImage(
        options.image, options.dryRun ? RomFile::Access::ReadOnly : RomFile::Access::ReadWrite);
    if (!opened) {
        return refuse(io, opened.error());
    }
    Result<GameNames> names = namesFor(options.image, options.names);
    if (!names) {
        return refuse(io, names.error());
    }
    RomFile& rom = opened->image.rom;
    const VisualLayout layout = opened->layout;

    InputTable table = readTable(options.file, {playerColumns(), {kIndexColumn}});
    std::vector<std::string> problems = table.problems;
    std::map<int, int> lineOfPlayer;
    Edit edit;

    for (const InputRecord& input : table.records) {
        const std::string where = options.file + ":" + std::to_string(input.line) + ": ";
        auto problem = [&](const std::string& what) { problems.push_back(where + what); };

        const std::string& indexText = *input.cell(kIndexColumn);
        std::optional<long> index = wholeNumber(indexText);
        if (!index || *index < 0 || *index >= kPlayerCount) {
            problem("index \"" + indexText + "\" is not a player (0 to " +
                    std::to_string(kPlayerCount - 1) + ")");
            continue;
        }
        const int player = static_cast<int>(*index);
        if (auto [first, added] = lineOfPlayer.try_emplace(player, input.line); !added) {
            problem("player " + std::to_string(player) + " is already given on line " +
                    std::to_string(first->second));
            continue;
        }
        Result<PlayerRecord> record = readPlayerRecord(rom, player);
        if (!record) {
            return refuse(io, record.error());
        }
        const Meaning current = meaningOf(*record);
        const std::array<unsigned, kRatingCount> stored = storedRatings(*record);
        Meaning target = current;

        // A raw cell keeps the field as it is; it must be the value the image holds.
        auto rawMatches = [&](const std::string& column, const std::string& text,
                              unsigned storedValue, int digits) {
            std::optional<unsigned> raw = rawValue(text);
            if (!raw) {
                return false;
            }
            if (*raw != storedValue) {
                problem(column + " " + text + " differs from the image's " +
                        rawCell(storedValue, digits) +
                        "; a raw value cannot be written, only kept");
            }
            return true;
        };

        if (const std::string* text = input.cell(kValueColumn)) {
            std::optional<long> value = wholeNumber(*text);
            if (!value || *value != record->value) {
                problem("value \"" + *text + "\" differs from the image's " +
                        std::to_string(record->value) + "; the player value is never written");
            }
        }
        if (const std::string* text = input.cell(kHeightColumn)) {
            std::string name = lowered(*text);
            if (name == kHeightNames[kHeightNormal]) {
                target.height = kHeightNormal;
            } else if (name == kHeightNames[kHeightSmall]) {
                target.height = kHeightSmall;
            } else if (!rawMatches(kHeightColumn, *text, record->height, 2)) {
                problem("height \"" + *text + "\" is not \"normal\" or \"small\"");
            }
        }
        for (int r = 0; r < kRatingCount; ++r) {
            const auto slot = static_cast<std::size_t>(r);
            const std::string column = kRatingColumns[slot];
            const std::string* text = input.cell(column);
            if (text == nullptr || rawMatches(column, *text, stored[slot], rawDigits(r))) {
                continue;
            }
            std::optional<long> rating = wholeNumber(*text);
            if (!rating || *rating < 0 || *rating > kMaxRating) {
                problem(column + " \"" + *text + "\" is not a rating from 0 to " +
                        std::to_string(kMaxRating));
                continue;
            }
            target.ratings[slot] = static_cast<int>(*rating);
        }
        if (const std::string* text = input.cell(kAiColumn);
            text != nullptr && !rawMatches(kAiColumn, *text, record->aiWord, 4)) {
            std::optional<long> slider = wholeNumber(*text);
            if (!slider || *slider < kAiSliderMin || *slider > kAiSliderMax) {
                problem("ai \"" + *text + "\" is not a slider position from " +
                        std::to_string(kAiSliderMin) + " to " + std::to_string(kAiSliderMax));
            } else {
                target.ai = static_cast<int>(*slider);
            }
        }
        if (const std::string* text = input.cell(kSkinColumn);
            text != nullptr && !rawMatches(kSkinColumn, *text, record->skinCode, 4)) {
            auto found = std::find(kSkinNames.begin(), kSkinNames.end(), lowered(*text));
            if (found == kSkinNames.end()) {
                problem("skin \"" + *text + "\" is not \"black\", \"black-unused\" or \"white\"");
            } else {
                target.skin = static_cast<Skin>(found - kSkinNames.begin());
            }
        }

        // Visual cells: the visual record is written from the actual ratings, so a cell may only
        // keep the image's value or follow its rating (which asks for the record to be written).
        const bool hasVisual = hasVisualRecord(layout, player);
        VisualRatings currentVisual{};
        if (hasVisual) {
            Result<VisualRatings> visual = readVisualRatings(rom, layout, player);
            if (!visual) {
                return refuse(io, visual.error());
            }
            currentVisual = *visual;
        }
        bool visualAsked = false;
        for (int r = 0; r < kRatingCount; ++r) {
            const auto slot = static_cast<std::size_t>(r);
            const std::string column = kVisualColumns[slot];
            const std::string* text = input.cell(column);
            if (text == nullptr) {
                continue;
            }
            if (!hasVisual) {
                problem(column + ": player " + std::to_string(player) +
                        " has no visual record before the visual data is relocated");
                continue;
            }
            std::optional<long> value = wholeNumber(*text);
            if (value && *value == currentVisual[slot]) {
                continue;
            }
            if (value && target.ratings[slot] && *value == *target.ratings[slot]) {
                visualAsked = true;
                continue;
            }
            problem(column + " \"" + *text + "\" can only stay " +
                    std::to_string(currentVisual[slot]) +
                    (target.ratings[slot] ? " or follow " + std::string(kRatingColumns[slot]) +
                                                " (" + std::to_string(*target.ratings[slot]) + ")"
                                          : std::string()) +
                    ": the visual record is written from the actual ratings");
        }

        if (target == current && !visualAsked) {
            continue;  // nothing to save for this player
        }
        addPlayerSave(edit, player, layout, target, stored,
                      hasVisual ? std::optional(currentVisual) : std::nullopt);
    }

    if (!problems.empty()) {
        return refuse(io, problems);
    }
    return finishEdit(io, rom, edit, options.dryRun);
}

}  // namespace slamwise::cli
