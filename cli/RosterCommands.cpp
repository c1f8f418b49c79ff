// rosters export / rosters import: the two entry codes of every roster slot as a table.

#include <climits>
#include <map>

#include "cli/Commands.h"
#include "game/RosterTable.h"

namespace slamwise::cli {

namespace {

constexpr const char* kTeamColumn = "team";
constexpr const char* kTeamNameColumn = "team_name";
constexpr const char* kSlotColumn = "slot";  // 1 to 20, as the roster window numbers them
constexpr const char* kPosition1Column = "position1";
constexpr const char* kPosition1NameColumn = "position1_name";
constexpr const char* kPosition2Column = "position2";
constexpr const char* kPosition2NameColumn = "position2_name";

// The slot index of a slot number (1 to 20 as the window shows them).
int slotIndex(long number) {
    return number > INT_MIN ? saturated(number) - 1 : INT_MIN;
}

}  // namespace

const ColumnSet& rosterColumns() {
    static const ColumnSet columns = {
        {kTeamColumn, kTeamNameColumn, kSlotColumn, kPosition1Column, kPosition1NameColumn,
         kPosition2Column, kPosition2NameColumn},
        {kTeamColumn, kSlotColumn}};
    return columns;
}

int exportRosters(Io io, const ExportOptions& options) {
    Result<OpenedImage> image =
        openImage(io, options.image, RomFile::Access::ReadOnly, {Table::Rosters});
    if (!image) {
        return fail(io, image.error());
    }
    Result<GameNames> names =
        namesFor(io, options.image, options.names, {NameKind::Team, NameKind::Player});
    if (!names) {
        return fail(io, names.error());
    }
    std::vector<std::vector<Cell>> rows;
    for (int team = 0; team < kRosterTeamCount; ++team) {
        for (int slot = 0; slot < kRosterSlotCount; ++slot) {
            Result<RosterSlot> codes = readSlot(image->rom(), team, slot);
            if (!codes) {
                return fail(io, codes.error());
            }
            rows.push_back({long{team}, names->teams[static_cast<std::size_t>(team)],
                            long{slot + 1}, hexByte(codes->position1),
                            rosterEntryText(*names, codes->position1), hexByte(codes->position2),
                            rosterEntryText(*names, codes->position2)});
        }
    }
    writeTable(io.out, options.format, rosterColumns().known, rows);
    return kExitSuccess;
}

Import importRosterRows(const OpenedImage& image, const InputTable& table) {
    Import result{{}, table.problems};
    if (Status status = image.allows(Table::Rosters); !status) {
        result.problems.push_back(status.message());
        return result;
    }
    std::map<std::pair<long, long>, int> lineOfSlot;
    for (const InputRecord& input : table.records) {
        // "<file>:<line>: ", made only for a problem.
        auto where = [&] { return table.where(input.line); };
        const std::size_t problemsBefore = result.problems.size();
        // The value of a cell, read by the rule given; nothing (with a problem) when it fails.
        auto cell = [&]<class T>(const char* column, std::optional<T> (*read)(std::string_view),
                                 const char* expected) -> std::optional<T> {
            const std::string* text = input.cell(column);
            std::optional<T> value = text ? read(*text) : std::nullopt;
            if (text != nullptr && text->empty()) {
                result.problems.push_back(where() + column + " is empty");
            } else if (text != nullptr && !value) {
                result.problems.push_back(where() + column + " " + shown(*text) + " is not " +
                                          expected);
            }
            return value;
        };
        std::optional<long> team = cell(kTeamColumn, wholeNumber, "a whole number");
        std::optional<long> slot = cell(kSlotColumn, wholeNumber, "a whole number");
        std::optional<std::uint8_t> position1 =
            cell(kPosition1Column, byteValue, "a code from 0 to 255 (0x00 to 0xFF)");
        std::optional<std::uint8_t> position2 =
            cell(kPosition2Column, byteValue, "a code from 0 to 255 (0x00 to 0xFF)");
        if (result.problems.size() != problemsBefore) {
            continue;
        }
        const int t = saturated(*team);
        const int s = slotIndex(*slot);
        Result<RosterSlot> current = readSlot(image.rom(), t, s);
        if (!current) {
            result.problems.push_back(where() + current.error());
            continue;
        }
        if (auto [first, added] = lineOfSlot.try_emplace({t, s}, input.line); !added) {
            result.problems.push_back(where() + "team " + std::to_string(t) + " slot " +
                                      std::to_string(s + 1) + " is given again, after line " +
                                      std::to_string(first->second));
            continue;
        }
        const RosterSlot target{position1.value_or(current->position1),
                                position2.value_or(current->position2)};
        if (target != *current) {
            if (Status status = writeSlot(result.edit, t, s, target); !status) {
                result.problems.push_back(where() + status.message());
            }
        }
    }
    return result;
}

int importRosters(Io io, const ImportOptions& options) {
    return runImport(io, options, rosterColumns(), importRosterRows);
}

int endRoster(Io io, const std::string& path, const std::string& team, const std::string& slot,
              bool dryRun) {
    Result<OpenedImage> image = openImage(io, path, RomFile::Access::ReadWrite);
    if (!image) {
        return refuse(io, image.error());
    }
    std::optional<long> teamNumber = wholeNumber(team);
    std::optional<long> slotNumber = wholeNumber(slot);
    if (!teamNumber || !slotNumber) {
        return refuse(io, "TEAM " + shown(team) + " and SLOT " + shown(slot) +
                              " must be whole numbers (team 0 to 28, slot 1 to 20)");
    }
    return finish(io, std::move(image).value(),
                  endRosterAt(saturated(*teamNumber), slotIndex(*slotNumber)), dryRun);
}

}  // namespace slamwise::cli
