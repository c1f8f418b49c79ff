#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "rom/Edit.h"
#include "rom/Identify.h"
#include "rom/Names.h"
#include "rom/Result.h"
#include "rom/RomFile.h"

namespace slamwise::cli {

// What the program returns to the shell.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitInvalid = 1;  // the image or an input file cannot be used
inline constexpr int kExitUsage = 2;    // the command line itself is wrong

// The streams a command writes to.
struct Io {
    std::ostream& out;
    std::ostream& err;
};

// An open image with its release (nothing when it matches none).
struct OpenImage {
    RomFile rom;
    std::optional<Identification> identification;
};

Result<OpenImage> openImage(const std::string& path, RomFile::Access access);

// "North America" and so on.
std::string_view releaseName(Release release);

// Refuses (with the reason) an image whose release has no player data the editor knows.
Status requirePlayerData(const OpenImage& image);

// The names given with --names, else those of the file beside the image, else the defaults.
Result<GameNames> namesFor(const std::string& imagePath, const std::string& namesPath);

// Writes the edit, or with dryRun lists the bytes it would change (offset, old, new) and writes
// nothing. Prints a one-line summary either way.
int finishEdit(Io io, RomFile& rom, const Edit& edit, bool dryRun);

// The edit without the writes that start at the given offsets (fields to be left as they are).
Edit withoutWritesAt(const Edit& edit, const std::set<std::uint32_t>& offsets);

// Prints every problem, then that nothing was written; returns kExitInvalid.
int refuse(Io io, const std::vector<std::string>& problems);
int refuse(Io io, const std::string& problem);
// The same for commands that only read.
int fail(Io io, const std::string& problem);

// Cells of the export and import files.
// A whole number in decimal, or in hexadecimal written with "0x".
std::optional<long> wholeNumber(std::string_view text);
// "raw:0x1234": a stored value that has no meaning the editor knows, exported as it is.
std::string rawCell(unsigned value, int hexDigits);
// The value of a raw cell; nothing when the text is not one.
std::optional<unsigned> rawValue(std::string_view text);
// "0x1F".
std::string hexByte(unsigned value);

}  // namespace slamwise::cli
