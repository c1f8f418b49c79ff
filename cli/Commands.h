#pragma once

#include <string>
#include <vector>

#include "cli/CommandSupport.h"
#include "cli/TableOutput.h"
#include "game/Checksum.h"

namespace slamwise::cli {

// The commands of the slamwise tool. Each returns the exit code; messages go to io.err.

int showInfo(Io io, const std::string& image, bool json);

struct ExportOptions {
    std::string image;
    TableFormat format = TableFormat::Csv;
    std::string names;  // names file; empty: the one beside the image, else the defaults
};

int exportPlayers(Io io, const ExportOptions& options);
int importPlayers(Io io, const ImportOptions& options);

int exportRosters(Io io, const ExportOptions& options);
int importRosters(Io io, const ImportOptions& options);
// "Make Last Player": team 0-28, slot 1-20.
int endRoster(Io io, const std::string& image, const std::string& team, const std::string& slot,
              bool dryRun);

// The rows of the import files, checked against the image (see Import).
const ColumnSet& playerColumns();
Import importPlayerRows(const OpenedImage& image, const InputTable& table);
const ColumnSet& rosterColumns();
Import importRosterRows(const OpenedImage& image, const InputTable& table);

int showCheats(Io io, const std::string& image, bool json);

struct CheatOptions {
    std::string image;
    std::string byte1;  // empty: keep
    std::string byte2;
    std::vector<std::string> on;
    std::vector<std::string> off;
    bool dryRun = false;
};
int setCheats(Io io, const CheatOptions& options);

int relocate(Io io, const std::string& image, bool dryRun);

// "stored 0x1234 (complement 0xEDCB), computed 0x1234: valid"
std::string checksumText(const ChecksumState& state);
int checksum(Io io, const std::string& image, bool fix, bool dryRun);

int createPatchFile(Io io, const std::string& original, const std::string& edited,
                    const std::string& patch);
struct PatchApplyOptions {
    std::string image;
    std::string patch;
    bool dryRun = false;
    bool verbose = false;  // a dry run lists every byte's old and new value under its range
    std::string ipsOffsets = "image";  // "image" or "file"
};
int applyPatchFile(Io io, const PatchApplyOptions& options);

// The changes from one image to another in the game's terms, one line each or as JSON.
struct DiffOptions {
    std::string before;
    std::string after;
    bool json = false;
    std::string names;  // names file; empty: the one beside the first image, else the defaults
};
int diffImages(Io io, const DiffOptions& options);
// The same for what applying the patch would change; every check of applyPatchFile is made.
int showPatch(Io io, const std::string& image, const std::string& patch, bool json);
// The lines of the changes the edit would make to the image, for a dry run.
void printEditChanges(Io io, const OpenedImage& image, const Edit& edit);

}  // namespace slamwise::cli
