// players export / players import: the actual records (and the visual ratings) as a table.

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <map>

#include "cli/Commands.h"
#include "game/PlayerEdit.h"
#include "game/PlayerValues.h"

namespace slamwise::cli {

namespace {

constexpr const char* kNameColumn = "name";
constexpr const char* kValueColumn = "value";

// The column of a field, named once: rows ask for their columns again and again.
const std::string& column(PlayerField field) {
    static const std::array<std::string, kPlayerFieldNames.size()> names = [] {
        std::array<std::string, kPlayerFieldNames.size()> named;
        std::copy(kPlayerFieldNames.begin(), kPlayerFieldNames.end(), named.begin());
        return named;
    }();
    return names[static_cast<std::size_t>(field)];
}
// The columns of the ratings and of their visual cells, named once.
const std::string& column(int rating) {
    static const std::array<std::string, kRatingCount> names = [] {
        std::array<std::string, kRatingCount> named;
        for (int r = 0; r < kRatingCount; ++r) {
            named[static_cast<std::size_t>(r)] = column(fieldOf(static_cast<Rating>(r)));
        }
        return named;
    }();
    return names[static_cast<std::size_t>(rating)];
}
const std::string& visualColumn(int rating) {
    static const std::array<std::string, kRatingCount> names = [] {
        std::array<std::string, kRatingCount> named;
        for (int r = 0; r < kRatingCount; ++r) {
            named[static_cast<std::size_t>(r)] = "visual_" + column(r);
        }
        return named;
    }();
    return names[static_cast<std::size_t>(rating)];
}

// The index of a name in the list, case aside; nothing when it is not there.
template <std::size_t N>
std::optional<std::size_t> nameIndex(const std::array<std::string_view, N>& names,
                                     std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    auto found = std::find(names.begin(), names.end(), text);
    return found == names.end() ? std::nullopt : std::optional<std::size_t>(found - names.begin());
}

Cell cellOf(const FieldValue& value) {
    return std::visit([](const auto& shown) { return Cell(shown); }, value);
}

std::vector<Cell> exportRow(int index, const std::string& name, const PlayerRecord& record,
                            const std::optional<VisualRatings>& visual) {
    std::vector<Cell> row = {long{index}, name, long{record.value},
                             cellOf(shownValue(record, PlayerField::Height))};
    for (int r = 0; r < kRatingCount; ++r) {
        row.push_back(cellOf(shownValue(record, fieldOf(static_cast<Rating>(r)))));
    }
    row.push_back(cellOf(shownValue(record, PlayerField::Ai)));
    row.push_back(cellOf(shownValue(record, PlayerField::Skin)));
    for (int r = 0; r < kRatingCount; ++r) {
        row.push_back(visual ? Cell(long{(*visual)[static_cast<std::size_t>(r)]}) : Cell());
    }
    return row;
}

// Reads one row of a players file into the edit of its player. A cell that gives a stored value
// in its raw form keeps the field; every other given cell becomes part of the edit.
class PlayerRow {
  public:
    PlayerRow(const InputRecord& input, const InputTable& table, std::vector<std::string>& problems)
        : input_(input), table_(table), problems_(problems) {}

    // "<where><column> <text shown> <why...>", made in one piece.
    void problem(std::string_view column, std::string_view text,
                 std::initializer_list<std::string_view> why) {
        // The quoted text is at most its bytes (cut short), quotes and "...", but for escapes.
        const std::string& where = this->where();
        std::size_t size = where.size() + column.size() + std::min(text.size(), kLongestShown) + 7;
        for (std::string_view part : why) {
            size += part.size();
        }
        std::string& line = problems_.emplace_back();
        line.reserve(size);
        line.append(where).append(column).append(" ");
        appendShown(line, text);
        line.append(" ");
        for (std::string_view part : why) {
            line.append(part);
        }
    }
    void problem(std::string_view column, std::string_view text, std::string_view why) {
        problem(column, text, {why});
    }
    // The cell of a column, nullptr when the row has none. The columns are asked for in the
    // order of an export, the order the cells of a file usually have.
    const std::string* find(std::string_view column) { return input_.cell(column, next_); }
    // The cell of a column the row has; an empty cell gives a problem and nothing.
    const std::string* cell(const std::string& column) {
        const std::string* text = find(column);
        if (text != nullptr && text->empty()) {
            problems_.push_back(where() + column + " is empty");
            return nullptr;
        }
        return text;
    }
    std::optional<int> number(const std::string& column, const std::string& text) {
        std::optional<long> value = wholeNumber(text);
        if (!value) {
            problem(column, text, "is not a whole number");
            return std::nullopt;
        }
        return saturated(*value);
    }
    // The text of a field to change: nothing when the column is absent, empty or a raw cell (a
    // raw cell must hold the stored value: it can only keep it).
    const std::string* change(const std::string& column, unsigned stored, int digits) {
        const std::string* text = cell(column);
        if (text == nullptr) {
            return nullptr;
        }
        std::optional<unsigned> raw = rawValue(*text);
        if (raw && *raw != stored) {
            problem(column, *text,
                    {"differs from the image's ", rawCell(stored, digits),
                     "; a raw value cannot be written, only kept"});
        }
        return raw ? nullptr : text;
    }

    void read(const PlayerRecord& record, PlayerEdit& edit) {
        if (const std::string* text = cell(kValueColumn);
            text != nullptr && wholeNumber(*text) != long{record.value}) {
            problem(kValueColumn, *text,
                    "differs from the image's " + std::to_string(record.value) +
                        "; the player value is never written");
        }
        const std::array<unsigned, kRatingCount> stored = storedRatings(record);
        for (int r = 0; r < kRatingCount; ++r) {
            if (const std::string* text = change(column(r), stored[static_cast<std::size_t>(r)],
                                                 rawDigits(static_cast<Rating>(r)))) {
                edit.ratings[static_cast<std::size_t>(r)] = number(column(r), *text);
            }
        }
        if (const std::string* text = change(column(PlayerField::Ai), record.aiWord, 4)) {
            edit.ai = number(column(PlayerField::Ai), *text);
        }
        if (const std::string* text = change(column(PlayerField::Skin), record.skinCode, 4)) {
            if (std::optional<std::size_t> skin = nameIndex(kSkinNames, *text)) {
                edit.skin = static_cast<Skin>(*skin);
            } else {
                problem(column(PlayerField::Skin), *text,
                        "is not \"black\", \"black-unused\" or \"white\"");
            }
        }
        if (const std::string* text = change(column(PlayerField::Height), record.height, 2)) {
            if (std::optional<std::size_t> height = nameIndex(kHeightNames, *text)) {
                edit.height = static_cast<Height>(*height);
            } else {
                problem(column(PlayerField::Height), *text, "is not \"normal\" or \"small\"");
            }
        }
        for (const PlayerEdit::Problem& found : edit.problems()) {
            problem(column(found.field), *find(column(found.field)), found.reason);
        }
    }

    // The visual cells may keep the image's values or follow their ratings (which asks for the
    // visual record to be written); true when one follows.
    bool readVisual(const std::optional<VisualRatings>& visual, const PlayerEdit& edit) {
        bool follows = false;
        for (int r = 0; r < kRatingCount; ++r) {
            const std::string* text = find(visualColumn(r));
            if (text == nullptr || (!visual && text->empty())) {
                continue;
            }
            if (!visual) {
                problem(visualColumn(r), *text,
                        "cannot be given: player " + std::to_string(edit.player) +
                            " has no visual record before the visual data is relocated");
                continue;
            }
            const int kept = (*visual)[static_cast<std::size_t>(r)];
            const std::optional<int>& rating = edit.ratings[static_cast<std::size_t>(r)];
            std::optional<long> value = text->empty() ? std::nullopt : wholeNumber(*text);
            if (value == kept) {
                continue;
            }
            if (value && rating && *value == *rating) {
                follows = true;
                continue;
            }
            problem(visualColumn(r), *text,
                    "can only stay " + std::to_string(kept) +
                        (rating ? " or follow " + column(r) + " (" + std::to_string(*rating) + ")"
                                : std::string()) +
                        ": the visual record is written from the actual ratings");
        }
        return follows;
    }

  private:
    // "<file>:<line>: ", made when the first problem of the row is.
    const std::string& where() {
        if (where_.empty()) {
            where_ = table_.where(input_.line);
        }
        return where_;
    }

    const InputRecord& input_;
    const InputTable& table_;
    std::size_t next_ = 0;  // where the next search of a cell starts
    std::string where_;
    std::vector<std::string>& problems_;
};

// Whether the edit gives a field a value other than the one the image holds.
bool changes(const PlayerEdit& edit, const Player& current) {
    bool changed = (edit.ai && *edit.ai != current.ai) ||
                   (edit.skin && edit.skin != current.skin) ||
                   (edit.height && edit.height != current.height);
    for (int r = 0; r < kRatingCount; ++r) {
        const std::optional<int>& rating = edit.ratings[static_cast<std::size_t>(r)];
        changed = changed || (rating && rating != current.ratings[static_cast<std::size_t>(r)]);
    }
    return changed;
}

}  // namespace

const ColumnSet& playerColumns() {
    static const ColumnSet columns = [] {
        const std::string index = column(PlayerField::Index);
        ColumnSet set{{index, kNameColumn, kValueColumn, column(PlayerField::Height)}, {index}};
        for (int r = 0; r < kRatingCount; ++r) {
            set.known.push_back(column(r));
        }
        set.known.push_back(column(PlayerField::Ai));
        set.known.push_back(column(PlayerField::Skin));
        for (int r = 0; r < kRatingCount; ++r) {
            set.known.push_back(visualColumn(r));
        }
        return set;
    }();
    return columns;
}

int exportPlayers(Io io, const ExportOptions& options) {
    Result<OpenedImage> image =
        openImage(io, options.image, RomFile::Access::ReadOnly, {Table::Players, Table::Visual});
    if (!image) {
        return fail(io, image.error());
    }
    Result<GameNames> names = namesFor(io, options.image, options.names, {NameKind::Player});
    if (!names) {
        return fail(io, names.error());
    }
    // Each table in one read.
    const VisualLayout layout = image->visualLayout();
    Result<std::vector<PlayerRecord>> records = readPlayerRecords(image->rom());
    if (!records) {
        return fail(io, records.error());
    }
    Result<std::vector<VisualRatings>> visuals = readVisualTable(image->rom(), layout);
    if (!visuals) {
        return fail(io, visuals.error());
    }
    std::vector<std::vector<Cell>> rows;
    for (int player = 0; player < kPlayerCount; ++player) {
        const auto at = static_cast<std::size_t>(player);
        std::optional<VisualRatings> visual;
        if (at < visuals->size()) {
            visual = (*visuals)[at];
        }
        rows.push_back(exportRow(player, names->players[at], (*records)[at], visual));
    }
    writeTable(io.out, options.format, playerColumns().known, rows);
    return kExitSuccess;
}

Import importPlayerRows(const OpenedImage& image, const InputTable& table) {
    Import result{{}, table.problems};
    if (Status status = image.allows(Table::Players); !status) {
        result.problems.push_back(status.message());
        return result;
    }
    const VisualLayout layout = image.visualLayout();
    std::map<int, int> lineOfPlayer;
    for (const InputRecord& input : table.records) {
        const std::size_t problemsBefore = result.problems.size();
        PlayerRow row(input, table, result.problems);
        const std::string& index = column(PlayerField::Index);
        const std::string* indexText = row.cell(index);
        std::optional<int> player = indexText ? row.number(index, *indexText) : std::nullopt;
        if (!player) {
            continue;
        }
        PlayerEdit edit;
        edit.player = *player;
        if (std::vector<PlayerEdit::Problem> found = edit.problems(); !found.empty()) {
            row.problem(index, *indexText, found.front().reason);
            continue;
        }
        if (auto [first, added] = lineOfPlayer.try_emplace(*player, input.line); !added) {
            row.problem(index, *indexText,
                        "gives player " + std::to_string(*player) + " again, after line " +
                            std::to_string(first->second));
            continue;
        }
        Result<PlayerRecord> record = readPlayerRecord(image.rom(), *player);
        std::optional<VisualRatings> visual;
        if (record && hasVisualRecord(layout, *player)) {
            Result<VisualRatings> read = readVisualRatings(image.rom(), layout, *player);
            visual = read ? std::optional(*read) : std::nullopt;
            record = read ? record : Result<PlayerRecord>(read.status());
        }
        if (!record) {
            result.problems.push_back(record.error());
            return result;
        }
        row.read(*record, edit);
        const bool visualFollows = row.readVisual(visual, edit);
        if (result.problems.size() == problemsBefore &&
            (visualFollows || changes(edit, decodePlayer(*record)))) {
            if (Status status = addPlayerSave(result.edit, image, edit); !status) {
                result.problems.push_back(table.where(input.line) + status.message());
            }
        }
    }
    return result;
}

int importPlayers(Io io, const ImportOptions& options) {
    return runImport(io, options, playerColumns(), importPlayerRows);
}

}  // namespace slamwise::cli
