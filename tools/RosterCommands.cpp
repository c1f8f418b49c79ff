// rosters export / rosters import: the two entry codes of every roster slot as a table.

#include <map>

#include "roster/RosterTable.h"
#include "tools/Commands.h"
#include "tools/TableInput.h"

namespace slamwise::cli {

namespace {

constexpr const char* kTeamColumn = "team";
constexpr const char* kTeamNameColumn = "team_name";
constexpr const char* kSlotColumn = "slot";  // 1 to 20, as the roster window numbers them
constexpr const char* kPosition1Column = "position1";
constexpr const char* kPosition1NameColumn = "position1_name";
constexpr const char* kPosition2Column = "position2";
constexpr const char* kPosition2NameColumn = "position2_name";

const std::vector<std::string>& rosterColumns() {
    static const std::vector<std::string> columns = {
        kTeamColumn,          kTeamNameColumn,  kSlotColumn,         kPosition1Column,
        kPosition1NameColumn, kPosition2Column, kPosition2NameColumn};
    return columns;
}

}  // namespace

int exportRosters(Io io, const ExportOptions& options) {
    Result<OpenImage> image = openImage(options.image, RomFile::Access::ReadOnly);
    if (!image) {
        return fail(io, image.error());
    }
    Result<GameNames> names = namesFor(options.image, options.names);
    if (!names) {
        return fail(io, names.error());
    }
    std::vector<std::vector<Cell>> rows;
    for (int team = 0; team < kRosterTeamCount; ++team) {
        for (int slot = 0; slot < kRosterSlotCount; ++slot) {
            Result<RosterSlot> codes = readSlot(image->rom, team, slot);
            if (!codes) {
                return fail(io, codes.error());
            }
            rows.push_back({long{team}, names->teams[static_cast<std::size_t>(team)],
                            long{slot + 1}, hexByte(codes->position1),
                            rosterEntryText(*names, codes->position1), hexByte(codes->position2),
                            rosterEntryText(*names, codes->position2)});
        }
    }
    writeTable(io.out, options.format, rosterColumns(), rows);
    return kExitSuccess;
}

int importRosters(Io io, const ImportOptions& options) {
    Result<OpenImage> image = openImage(
        options.image, options.dryRun ? RomFile::Access::ReadOnly : RomFile::Access::ReadWrite);
    if (!image) {
        return refuse(io, image.error());
    }
    Result<GameNames> names = namesFor(options.image, options.names);
    if (!names) {
        return refuse(io, names.error());
    }
    InputTable table = readTable(options.file, {rosterColumns(), {kTeamColumn, kSlotColumn}});
    std::vector<std::string> problems = table.problems;
    std::map<std::pair<int, int>, int> lineOfSlot;
    Edit edit;

    for (const InputRecord& input : table.records) {
        const std::string where = options.file + ":" + std::to_string(input.line) + ": ";
        auto problem = [&](const std::string& what) { problems.push_back(where + what); };
        // A number in range from a cell; nothing (with a problem) otherwise.
        auto number = [&](const char* column, long low, long high) -> std::optional<int> {
            const std::string* text = input.cell(column);
            if (text == nullptr) {
                return std::nullopt;
            }
            std::optional<long> value = wholeNumber(*text);
            if (!value || *value < low || *value > high) {
                problem(std::string(column) + " \"" + *text + "\" is not a number from " +
                        std::to_string(low) + " to " + std::to_string(high));
                return std::nullopt;
            }
            return static_cast<int>(*value);
        };

        std::optional<int> team = number(kTeamColumn, 0, kRosterTeamCount - 1);
        std::optional<int> slotNumber = number(kSlotColumn, 1, kRosterSlotCount);
        std::optional<int> position1 = number(kPosition1Column, 0, kRosterEntryCount - 1);
        std::optional<int> position2 = number(kPosition2Column, 0, kRosterEntryCount - 1);
        if (!team || !slotNumber) {
            continue;
        }
        const int slot = *slotNumber - 1;
        if (auto [first, added] = lineOfSlot.try_emplace({*team, slot}, input.line); !added) {
            problem("team " + std::to_string(*team) + " slot " + std::to_string(*slotNumber) +
                    " is already given on line " + std::to_string(first->second));
            continue;
        }
        Result<RosterSlot> current = readSlot(image->rom, *team, slot);
        if (!current) {
            return refuse(io, current.error());
        }
        RosterSlot target = *current;
        if (position1) {
            target.position1 = static_cast<std::uint8_t>(*position1);
        }
        if (position2) {
            target.position2 = static_cast<std::uint8_t>(*position2);
        }
        if (target != *current) {
            // The roster window's save of one slot: both codes.
            if (Status status = writeSlot(edit, *team, slot, target); !status) {
                problem(status.message());
            }
        }
    }
    if (!problems.empty()) {
        return refuse(io, problems);
    }
    return finishEdit(io, image->rom, edit, options.dryRun);
}

}  // namespace slamwise::cli
