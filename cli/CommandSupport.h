#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/TableInput.h"
#include "game/Names.h"
#include "image/OpenedImage.h"
#include "image/Session.h"
#include "storage/Edit.h"
#include "storage/Result.h"

namespace slamwise::cli {

// What the program returns to the shell.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitInvalid = 1;  // the image or an input file cannot be used
inline constexpr int kExitUsage = 2;    // the command line itself is wrong

inline constexpr bool kHeedJournal = false;

// The streams a command writes to, and how it reads an image beside a journal that cannot be used.
struct Io {
    std::ostream& out;
    std::ostream& err;
    // --ignore-journal: read the image as it is (it may hold a change half-written).
    const bool& ignoreJournal = kHeedJournal;
};

// Opens the file and prints on standard error what opening had to say (an unfinished change
// undone, a journal left alone, the data read as it is); a journal that cannot be used refuses
// a reading unless io.ignoreJournal.
Result<OpenedImage> openAnyFile(Io io, const std::string& path, RomFile::Access access);
// The same for an image: refuses a file too short to be one, and fails when the image does not
// allow one of the tables. A dry run opens the image as the real run does.
Result<OpenedImage> openImage(Io io, const std::string& path, RomFile::Access access,
                              std::initializer_list<Table> tables = {});

// The names given with --names, else those of the file beside the image, else the defaults.
// Mistakes in the file are printed as a warning, and placeholders stand in for the lines that
// cannot be read; unless the command prints names of a kind the file leaves incomplete: then
// the names are refused.
Result<GameNames> namesFor(Io io, const std::string& imagePath, const std::string& namesPath,
                           std::initializer_list<NameKind> printed);

// How a dry run lists what it would change: each byte ("$1FB8D3: F8 -> 55"), each run of
// bytes ("$1FB8D3-$1FB8E0: 14 bytes"), or each run with its bytes below it.
enum class Listing { Bytes, Ranges, RangesWithBytes };

// Runs the action through the image's session, as the windows do: writes it, or with dryRun
// lists the changes in the game's terms, then the bytes, and stops before the write. Prints a
// one-line summary either way.
int finish(Io io, OpenedImage image, const Action& action, bool dryRun,
           Listing listing = Listing::Bytes);

// What an import file asks for: the one edit that saves its rows, or every problem that refuses
// it. Checking the rows reads the image and writes nothing.
struct Import {
    Edit edit;
    std::vector<std::string> problems;
};

struct ImportOptions {
    std::string image;
    std::string file;
    bool dryRun = false;
    std::string names;
};

// An import command: opens the image, reads the file, checks its rows and saves them.
int runImport(Io io, const ImportOptions& options, const ColumnSet& columns,
              Import (*checkRows)(const OpenedImage&, const InputTable&));

// Prints every problem, then that nothing was written; returns kExitInvalid.
int refuse(Io io, const std::vector<std::string>& problems);
int refuse(Io io, const std::string& problem);
// The same for commands that only read.
int fail(Io io, const std::string& problem);

// Cells of the export and import files and values of the command line.
// A whole number in decimal, or in hexadecimal written with "0x".
std::optional<long> wholeNumber(std::string_view text);
// The number as an int, limited to the ints there are (the core's checks then refuse it).
int saturated(long value);
// A byte: 0 to 255, or 0x00 to 0xFF.
std::optional<std::uint8_t> byteValue(std::string_view text);
// The value of a raw cell; nothing when the text is not one.
std::optional<unsigned> rawValue(std::string_view text);
// "0x1F".
std::string hexByte(unsigned value);
// The text in double quotes, fit for a message: control bytes as \xNN, long text cut short
// (after kLongestShown bytes, with "...").
constexpr std::size_t kLongestShown = 40;
std::string shown(std::string_view text);
// The same added to the end of a text.
void appendShown(std::string& to, std::string_view text);

}  // namespace slamwise::cli
