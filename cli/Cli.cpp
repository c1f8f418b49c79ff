#include "cli/Cli.h"

#include <CLI/CLI.hpp>
#include <functional>
#include <memory>

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

// What runs once the command line has been parsed.
using Run = std::function<int()>;

// Gives a command its options: they live in the command's callback, which the parser keeps, and
// once the command is chosen `run` gets them.
template <class Options>
Options& optionsOf(CLI::App* command, Run& action, std::function<int(const Options&)> run) {
    auto options = std::make_shared<Options>();
    command->callback(
        [&action, options, run] { action = [options, run] { return run(*options); }; });
    return *options;
}

void addImage(CLI::App* command, std::string& image) {
    command->add_option("IMAGE", image, "The ROM image")->required();
}

struct ShownImage {
    std::string image;
    bool json = false;
};

// A command that prints what it reads from an image, as text or JSON.
void addShow(CLI::App* command, Run& action, int (*show)(Io, const std::string&, bool), Io io) {
    ShownImage& options = optionsOf<ShownImage>(
        command, action, [io, show](const ShownImage& o) { return show(io, o.image, o.json); });
    addImage(command, options.image);
    command->add_flag("--json", options.json, "Print JSON");
}

struct ExportChoice {
    ExportOptions options;
    std::string format = "csv";
};

void addExport(CLI::App& parent, Run& action, Io io, int (*command)(Io, const ExportOptions&),
               const std::string& what) {
    CLI::App* sub = parent.add_subcommand("export", "Write " + what + " to standard output");
    ExportChoice& choice =
        optionsOf<ExportChoice>(sub, action, [io, command](const ExportChoice& c) {
            ExportOptions options = c.options;
            options.format = c.format == "json" ? TableFormat::Json : TableFormat::Csv;
            return command(io, options);
        });
    addImage(sub, choice.options.image);
    sub->add_option("--format", choice.format, "csv (default) or json")
        ->check(CLI::IsMember({"csv", "json"}));
    sub->add_option("--names", choice.options.names, kNamesHelp);
}

void addImport(CLI::App& parent, Run& action, Io io, int (*command)(Io, const ImportOptions&),
               const std::string& what) {
    CLI::App* sub = parent.add_subcommand(
        "import", "Write " + what +
                      " from a CSV or JSON file into the image, after checking "
                      "every row");
    ImportOptions& options = optionsOf<ImportOptions>(
        sub, action, [io, command](const ImportOptions& o) { return command(io, o); });
    addImage(sub, options.image);
    sub->add_option("FILE", options.file, "CSV file with a header row, or JSON array")->required();
    sub->add_flag("--dry-run", options.dryRun, kDryRunHelp);
    sub->add_option("--names", options.names, kNamesHelp);
}

void addPlayers(CLI::App& app, Run& action, Io io) {
    CLI::App* players = app.add_subcommand("players", "Player ratings and attributes");
    players->require_subcommand(1);
    addExport(*players, action, io, exportPlayers, "every player's record");
    addImport(*players, action, io, importPlayers, "players' records");
}

struct RosterEnd {
    std::string image;
    std::string team;
    std::string slot;
    bool dryRun = false;
};

void addRosters(CLI::App& app, Run& action, Io io) {
    CLI::App* rosters = app.add_subcommand("rosters", "Team rosters");
    rosters->require_subcommand(1);
    addExport(*rosters, action, io, exportRosters, "every roster slot");
    addImport(*rosters, action, io, importRosters, "roster slots");
    CLI::App* end = rosters->add_subcommand(
        "end", "End a team's roster at a slot, as \"Make Last Player\" does: 0xFE, then 0xFF");
    RosterEnd& options = optionsOf<RosterEnd>(end, action, [io](const RosterEnd& o) {
        return endRoster(io, o.image, o.team, o.slot, o.dryRun);
    });
    addImage(end, options.image);
    end->add_option("TEAM", options.team, "Team 0-28")->required();
    end->add_option("SLOT", options.slot, "Slot 1-20: it and every later slot become empty")
        ->required();
    end->add_flag("--dry-run", options.dryRun, kDryRunHelp);
}

void addCheats(CLI::App& app, Run& action, Io io) {
    CLI::App* cheats = app.add_subcommand("cheats", "The sixteen cheat switches");
    cheats->require_subcommand(1);
    addShow(cheats->add_subcommand("get", "Show the cheat bytes and switches"), action, showCheats,
            io);

    CLI::App* set =
        cheats->add_subcommand("set", "Set the cheat bytes, or switch cheats on and off by name");
    auto options = std::make_shared<CheatOptions>();
    addImage(set, options->image);
    CLI::Option* byte1 = set->add_option("--byte1", options->byte1, "Cheat byte 1 (0-255 or 0x..)");
    CLI::Option* byte2 = set->add_option("--byte2", options->byte2, "Cheat byte 2 (0-255 or 0x..)");
    CLI::Option* on = set->add_option("--on", options->on, "Switches to turn on, by name");
    CLI::Option* off = set->add_option("--off", options->off, "Switches to turn off, by name");
    for (CLI::Option* byte : {byte1, byte2}) {
        byte->excludes(on);
        byte->excludes(off);
    }
    set->add_flag("--dry-run", options->dryRun, kDryRunHelp);
    set->callback([&action, options, io] {
        if (options->byte1.empty() && options->byte2.empty() && options->on.empty() &&
            options->off.empty()) {
            throw CLI::RequiredError("cheats set: give --byte1/--byte2, or --on/--off");
        }
        action = [options, io] { return setCheats(io, *options); };
    });
}

struct ImageChange {
    std::string image;
    bool fix = false;
    bool dryRun = false;
};

void addRelocateAndChecksum(CLI::App& app, Run& action, Io io) {
    CLI::App* move = app.add_subcommand(
        "relocate", "Relocate the visual data so that every player has visual ratings");
    ImageChange& relocation = optionsOf<ImageChange>(
        move, action, [io](const ImageChange& o) { return relocate(io, o.image, o.dryRun); });
    addImage(move, relocation.image);
    move->add_flag("--dry-run", relocation.dryRun, kDryRunHelp);

    CLI::App* sum = app.add_subcommand(
        "checksum", "Show the internal checksum of an image, stored and computed");
    ImageChange& fix = optionsOf<ImageChange>(
        sum, action, [io](const ImageChange& o) { return checksum(io, o.image, o.fix, o.dryRun); });
    addImage(sum, fix.image);
    sum->add_flag("--fix", fix.fix, "Write the computed checksum and its complement");
    sum->add_flag("--dry-run", fix.dryRun, kDryRunHelp)->needs("--fix");
}

struct PatchCreation {
    std::string original;
    std::string edited;
    std::string patch;
};

struct PatchShown {
    std::string image;
    std::string patch;
    bool json = false;
};

void addPatchApply(CLI::App& patch, Run& action, Io io) {
    CLI::App* apply =
        patch.add_subcommand("apply", "Apply a patch to an image in place, all or nothing");
    PatchApplyOptions& options = optionsOf<PatchApplyOptions>(
        apply, action, [io](const PatchApplyOptions& o) { return applyPatchFile(io, o); });
    addImage(apply, options.image);
    apply->add_option("PATCH", options.patch, "The patch, IPS or BPS (known by its first bytes)")
        ->required();
    apply->add_flag("--dry-run", options.dryRun,
                    "Check everything and list the ranges of bytes that would change; write "
                    "nothing");
    apply
        ->add_flag("--verbose", options.verbose,
                   "With --dry-run, also list each byte's old and new value")
        ->needs("--dry-run");
    apply
        ->add_option("--ips-offsets", options.ipsOffsets,
                     "Where an IPS patch's records land on an image with a copier header: "
                     "image (default; after the header) or file (the header counted, for a "
                     "patch made from an image with a header)")
        ->check(CLI::IsMember({"image", "file"}));
}

void addPatch(CLI::App& app, Run& action, Io io) {
    CLI::App* patch = app.add_subcommand("patch", "IPS and BPS patches");
    patch->require_subcommand(1);
    CLI::App* create = patch->add_subcommand(
        "create", "Write the patch that turns ORIGINAL into EDITED (copier headers left out)");
    PatchCreation& creation =
        optionsOf<PatchCreation>(create, action, [io](const PatchCreation& o) {
            return createPatchFile(io, o.original, o.edited, o.patch);
        });
    create->add_option("ORIGINAL", creation.original, "The unedited image")->required();
    create->add_option("EDITED", creation.edited, "The edited image")->required();
    create->add_option("PATCH", creation.patch, "The patch to write: .ips or .bps")->required();
    addPatchApply(*patch, action, io);
    CLI::App* show = patch->add_subcommand(
        "show",
        "List what applying a patch would change, in the game's terms, without writing "
        "anything");
    PatchShown& shown = optionsOf<PatchShown>(show, action, [io](const PatchShown& o) {
        return showPatch(io, o.image, o.patch, o.json);
    });
    addImage(show, shown.image);
    show->add_option("PATCH", shown.patch, "The patch, IPS or BPS (known by its first bytes)")
        ->required();
    show->add_flag("--json", shown.json, "Print JSON");
}

void addDiff(CLI::App& app, Run& action, Io io) {
    CLI::App* compare = app.add_subcommand(
        "diff",
        "List the changes from image A to image B (same release and size) in the game's "
        "terms");
    DiffOptions& diff = optionsOf<DiffOptions>(
        compare, action, [io](const DiffOptions& o) { return diffImages(io, o); });
    compare->add_option("A", diff.before, "The image before")->required();
    compare->add_option("B", diff.after, "The image after")->required();
    compare->add_flag("--json", diff.json, "Print JSON");
    compare->add_option("--names", diff.names, kNamesHelp);
}

// The commands that only read get --ignore-journal: they read an image as it is even while a
// journal that cannot be used lies beside it.
void addIgnoreJournal(CLI::App& app, bool& ignoreJournal) {
    const std::vector<std::vector<std::string>> reading = {
        {"info"},     {"players", "export"}, {"rosters", "export"}, {"cheats", "get"},
        {"checksum"}, {"patch", "create"},   {"patch", "show"},     {"diff"}};
    for (const std::vector<std::string>& words : reading) {
        CLI::App* command = &app;
        for (const std::string& word : words) {
            command = command->get_subcommand(word);
        }
        CLI::Option* flag =
            command->add_flag("--ignore-journal", ignoreJournal, kIgnoreJournalHelp);
        if (words.front() == "checksum") {
            flag->excludes("--fix");
        }
    }
}

// Prints every command that runs something, one a line with its words ("players export");
// the build makes a man page for each.
void listCommands(const CLI::App& app, const std::string& words, std::ostream& out) {
    const auto subcommands = app.get_subcommands([](const CLI::App*) { return true; });
    if (subcommands.empty() && !words.empty()) {
        out << words << "\n";
    }
    for (const CLI::App* sub : subcommands) {
        listCommands(*sub, words.empty() ? sub->get_name() : words + " " + sub->get_name(), out);
    }
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
    Run action;
    addShow(app.add_subcommand("info", "Show the release, title and state of an image"), action,
            showInfo, io);
    addPlayers(app, action, io);
    addRosters(app, action, io);
    addCheats(app, action, io);
    addRelocateAndChecksum(app, action, io);
    addPatch(app, action, io);
    addDiff(app, action, io);
    addIgnoreJournal(app, ignoreJournal);

    if (args == std::vector<std::string>{"--list-commands"}) {  // for the build, not in --help
        listCommands(app, "", out);
        return kExitSuccess;
    }
    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        return app.exit(error, out, err) == 0 ? kExitSuccess : kExitUsage;
    }
    return action ? action() : kExitUsage;
}

}  // namespace slamwise::cli
