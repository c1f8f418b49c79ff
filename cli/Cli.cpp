#include "cli/Cli.h"

#include <CLI/CLI.hpp>
#include <functional>

#include "Version.h"
#include "cli/Commands.h"

namespace slamwise::cli {

namespace {

constexpr const char* kNamesHelp =
    "Names file for players and teams (default: <IMAGE>.names, else slamwise-names.txt beside "
    "the image, else placeholders)";
constexpr const char* kDryRunHelp =
    "Check everything and list the bytes that would change; write nothing";
constexpr const char* kIgnoreJournalHelp =
    "Read the image as it is even while a journal that cannot be used lies beside it (its data "
    "may be half-written)";

void addExport(CLI::App& parent, ExportOptions& options, std::string& format, bool& ignoreJournal,
               std::function<int()>& action, Io io, int (*command)(Io, const ExportOptions&),
               const std::string& what) {
    CLI::App* sub = parent.add_subcommand("export", "Write " + what + " to standard output");
    sub->add_option("IMAGE", options.image, "The ROM image")->required();
    sub->add_option("--format", format, "csv (default) or json")
        ->check(CLI::IsMember({"csv", "json"}));
    sub->add_option("--names", options.names, kNamesHelp);
    sub->add_flag("--ignore-journal", ignoreJournal, kIgnoreJournalHelp);
    sub->callback([&, io, command] {
        options.format = format == "json" ? TableFormat::Json : TableFormat::Csv;
        action = [&, io, command] { return command(io, options); };
    });
}

void addImport(CLI::App& parent, ImportOptions& options, std::function<int()>& action, Io io,
               int (*command)(Io, const ImportOptions&), const std::string& what) {
    CLI::App* sub = parent.add_subcommand(
        "import", "Write " + what +
                      " from a CSV or JSON file into the image, after checking "
                      "every row");
    sub->add_option("IMAGE", options.image, "The ROM image")->required();
    sub->add_option("FILE", options.file, "CSV file with a header row, or JSON array")->required();
    sub->add_flag("--dry-run", options.dryRun, kDryRunHelp);
    sub->add_option("--names", options.names, kNamesHelp);
    sub->callback([&, io, command] { action = [&, io, command] { return command(io, options); }; });
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool ignoreJournal = false;
    Io io{out, err, ignoreJournal};
    CLI::App app{"Reads and changes the data of a Slamwise ROM image: players, rosters, cheats.",
                 "slamwise"};
    app.set_version_flag("--version", "slamwise " + versionText());
    app.require_subcommand(1);
    app.footer(
        "Exit codes: 0 success, 1 invalid input (nothing was written), 2 wrong command line.");
    std::function<int()> action;

    std::string infoImage;
    bool infoJson = false;
    CLI::App* info = app.add_subcommand("info", "Show the release, title and state of an image");
    info->add_option("IMAGE", infoImage, "The ROM image")->required();
    info->add_flag("--json", infoJson, "Print JSON");
    info->add_flag("--ignore-journal", ignoreJournal, kIgnoreJournalHelp);
    info->callback([&] { action = [&] { return showInfo(io, infoImage, infoJson); }; });

    ExportOptions playerExport;
    std::string playerFormat = "csv";
    ImportOptions playerImport;
    CLI::App* players = app.add_subcommand("players", "Player ratings and attributes");
    players->require_subcommand(1);
    addExport(*players, playerExport, playerFormat, ignoreJournal, action, io, exportPlayers,
              "every player's record");
    addImport(*players, playerImport, action, io, importPlayers, "players' records");

    ExportOptions rosterExport;
    std::string rosterFormat = "csv";
    ImportOptions rosterImport;
    CLI::App* rosters = app.add_subcommand("rosters", "Team rosters");
    rosters->require_subcommand(1);
    addExport(*rosters, rosterExport, rosterFormat, ignoreJournal, action, io, exportRosters,
              "every roster slot");
    addImport(*rosters, rosterImport, action, io, importRosters, "roster slots");
    std::string endImage;
    std::string endTeam;
    std::string endSlot;
    bool endDryRun = false;
    CLI::App* end = rosters->add_subcommand(
        "end", "End a team's roster at a slot, as \"Make Last Player\" does: 0xFE, then 0xFF");
    end->add_option("IMAGE", endImage, "The ROM image")->required();
    end->add_option("TEAM", endTeam, "Team 0-28")->required();
    end->add_option("SLOT", endSlot, "Slot 1-20: it and every later slot become empty")->required();
    end->add_flag("--dry-run", endDryRun, kDryRunHelp);
    end->callback(
        [&] { action = [&] { return endRoster(io, endImage, endTeam, endSlot, endDryRun); }; });

    CLI::App* cheats = app.add_subcommand("cheats", "The sixteen cheat switches");
    cheats->require_subcommand(1);
    std::string cheatImage;
    bool cheatJson = false;
    CLI::App* get = cheats->add_subcommand("get", "Show the cheat bytes and switches");
    get->add_option("IMAGE", cheatImage, "The ROM image")->required();
    get->add_flag("--json", cheatJson, "Print JSON");
    get->add_flag("--ignore-journal", ignoreJournal, kIgnoreJournalHelp);
    get->callback([&] { action = [&] { return showCheats(io, cheatImage, cheatJson); }; });

    CheatOptions cheatSet;
    CLI::App* set =
        cheats->add_subcommand("set", "Set the cheat bytes, or switch cheats on and off by name");
    set->add_option("IMAGE", cheatSet.image, "The ROM image")->required();
    CLI::Option* byte1 = set->add_option("--byte1", cheatSet.byte1, "Cheat byte 1 (0-255 or 0x..)");
    CLI::Option* byte2 = set->add_option("--byte2", cheatSet.byte2, "Cheat byte 2 (0-255 or 0x..)");
    CLI::Option* on = set->add_option("--on", cheatSet.on, "Switches to turn on, by name");
    CLI::Option* off = set->add_option("--off", cheatSet.off, "Switches to turn off, by name");
    for (CLI::Option* byte : {byte1, byte2}) {
        byte->excludes(on);
        byte->excludes(off);
    }
    set->add_flag("--dry-run", cheatSet.dryRun, kDryRunHelp);
    set->callback([&] {
        if (cheatSet.byte1.empty() && cheatSet.byte2.empty() && cheatSet.on.empty() &&
            cheatSet.off.empty()) {
            throw CLI::RequiredError("cheats set: give --byte1/--byte2, or --on/--off");
        }
        action = [&] { return setCheats(io, cheatSet); };
    });

    std::string relocateImage;
    bool relocateDryRun = false;
    CLI::App* move = app.add_subcommand(
        "relocate", "Relocate the visual data so that every player has visual ratings");
    move->add_option("IMAGE", relocateImage, "The ROM image")->required();
    move->add_flag("--dry-run", relocateDryRun, kDryRunHelp);
    move->callback([&] { action = [&] { return relocate(io, relocateImage, relocateDryRun); }; });

    std::string checksumImage;
    bool checksumFix = false;
    bool checksumDryRun = false;
    CLI::App* sum = app.add_subcommand(
        "checksum", "Show the internal checksum of an image, stored and computed");
    sum->add_option("IMAGE", checksumImage, "The ROM image")->required();
    sum->add_flag("--fix", checksumFix, "Write the computed checksum and its complement");
    sum->add_flag("--dry-run", checksumDryRun, kDryRunHelp)->needs("--fix");
    sum->add_flag("--ignore-journal", ignoreJournal, kIgnoreJournalHelp)->excludes("--fix");
    sum->callback(
        [&] { action = [&] { return checksum(io, checksumImage, checksumFix, checksumDryRun); }; });

    CLI::App* patch = app.add_subcommand("patch", "IPS and BPS patches (by the patch's extension)");
    patch->require_subcommand(1);
    std::string patchOriginal;
    std::string patchEdited;
    std::string patchFile;
    CLI::App* create = patch->add_subcommand(
        "create", "Write the patch that turns ORIGINAL into EDITED (copier headers left out)");
    create->add_option("ORIGINAL", patchOriginal, "The unedited image")->required();
    create->add_option("EDITED", patchEdited, "The edited image")->required();
    create->add_option("PATCH", patchFile, "The patch to write: .ips or .bps")->required();
    create->add_flag("--ignore-journal", ignoreJournal, kIgnoreJournalHelp);
    create->callback([&] {
        action = [&] { return createPatchFile(io, patchOriginal, patchEdited, patchFile); };
    });
    std::string patchImage;
    bool patchDryRun = false;
    CLI::App* apply =
        patch->add_subcommand("apply", "Apply a patch to an image in place, all or nothing");
    apply->add_option("IMAGE", patchImage, "The ROM image")->required();
    apply->add_option("PATCH", patchFile, "The patch: .ips or .bps")->required();
    apply->add_flag("--dry-run", patchDryRun, kDryRunHelp);
    apply->callback(
        [&] { action = [&] { return applyPatchFile(io, patchImage, patchFile, patchDryRun); }; });

    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        return app.exit(error, out, err) == 0 ? kExitSuccess : kExitUsage;
    }
    return action ? action() : kExitUsage;
}

}  // namespace slamwise::cli
