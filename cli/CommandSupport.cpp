#include "cli/CommandSupport.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <utility>

#include "cli/Commands.h"
#include "storage/Text.h"

namespace slamwise::cli {

Result<OpenedImage> openAnyFile(Io io, const std::string& path, RomFile::Access access) {
    Result<OpenedImage> image = OpenedImage::open(
        path, access, io.ignoreJournal ? UnusableJournal::ReadAsIs : UnusableJournal::Refuse);
    if (!image && access == RomFile::Access::ReadOnly && !io.ignoreJournal &&
        image.error().ends_with("so it is not read.")) {
        return Status::failure(image.error() + " (--ignore-journal reads it as it is.)");
    }
    if (image && !image->notice().empty()) {
        io.err << image->notice() << "\n";
    }
    if (image && !image->rom().journalUnusable()) {
        io.err << "Read as it is: the data of " << quoted(path) << " may be half-written.\n";
    }
    return image;
}

Result<OpenedImage> openImage(Io io, const std::string& path, RomFile::Access access,
                              std::initializer_list<Table> tables) {
    Result<OpenedImage> image = openAnyFile(io, path, access);
    if (image && image->refusal() == Refusal::TooShort) {
        return image->verdict();
    }
    for (Table table : tables) {
        if (Status status = image ? image->allows(table) : Status(); !status) {
            return status;
        }
    }
    return image;
}

Result<GameNames> namesFor(Io io, const std::string& imagePath, const std::string& namesPath,
                           std::initializer_list<NameKind> printed) {
    NamesFile file = namesPath.empty() ? namesForImage(imagePath) : loadNames(namesPath);
    if (file.problems.empty()) {
        return std::move(file.names);
    }
    if (file.unreadable) {
        return Status::failure(file.problems.front());
    }
    for (const std::string& problem : file.problems) {
        io.err << problem << "\n";
    }
    for (NameKind kind : printed) {
        if (file.lacks(kind)) {
            return Status::failure(
                "The names file has mistakes in names that this command prints: correct it, or "
                "name another with --names.");
        }
    }
    io.err << "The names file has mistakes: placeholder names stand in for the lines it cannot "
              "read.\n";
    return std::move(file.names);
}

namespace {

// "$1FB8D3: F8 -> 55", with a lead before it.
void listByte(Io io, const char* lead, std::uint32_t offset, unsigned before, unsigned after) {
    char line[64];
    std::snprintf(line, sizeof line, "%s%s: %02X -> %02X\n", lead, hexOffset(offset).c_str(),
                  before, after);
    io.out << line;
}

void listChanges(Io io, const std::vector<ChangedRange>& ranges, Listing listing) {
    for (const ChangedRange& range : ranges) {
        if (listing != Listing::Bytes) {
            const std::size_t size = range.after.size();
            io.out << hexOffset(range.offset) << "-" << hexOffset(range.last()) << ": " << size
                   << (size == 1 ? " byte\n" : " bytes\n");
        }
        for (std::size_t i = 0; listing != Listing::Ranges && i < range.after.size(); ++i) {
            listByte(io, listing == Listing::Bytes ? "" : "  ",
                     range.offset + static_cast<std::uint32_t>(i), range.before[i], range.after[i]);
        }
    }
}

}  // namespace

int finish(Io io, OpenedImage image, const Action& action, bool dryRun, Listing listing) {
    Session session(std::move(image));
    Result<Applied> applied = session.apply(action, dryRun ? Run::DryRun : Run::Write);
    if (!applied) {
        return refuse(io, applied.error());
    }
    const std::size_t changed = changedByteCount(applied->changes);
    if (!dryRun) {
        io.out << "Changed " << changed << " byte(s) in " << session.path() << ".\n";
        return kExitSuccess;
    }
    printEditChanges(io, session.image(), applied->edit);
    io.out << "Dry run: " << changed << " byte(s)";
    if (listing != Listing::Bytes) {
        io.out << " in " << applied->changes.size() << " range(s)";
    }
    io.out << " would change in " << session.path() << "; nothing was written.\n";
    listChanges(io, applied->changes, listing);
    return kExitSuccess;
}

int runImport(Io io, const ImportOptions& options, const ColumnSet& columns,
              Import (*checkRows)(const OpenedImage&, const InputTable&)) {
    Result<OpenedImage> image = openImage(io, options.image, RomFile::Access::ReadWrite);
    if (!image) {
        return refuse(io, image.error());
    }
    // Only to warn (no names are needed), unless the file cannot be read at all.
    if (Result<GameNames> names = namesFor(io, options.image, options.names, {}); !names) {
        return refuse(io, names.error());
    }
    const InputTable table = readTable(options.file, columns);
    if (table.unreadable) {
        return refuse(io, table.problems);
    }
    if (table.separator != ',') {
        io.err << "Reading " << options.file << " with "
               << (table.separator == '\t' ? std::string("a tab") : "\";\"")
               << " between fields.\n";
    }
    const Action import{"Import", [&](const OpenedImage& opened) -> Result<Edit> {
                            Import checked = checkRows(opened, table);
                            if (checked.problems.empty()) {
                                return std::move(checked.edit);
                            }
                            std::string message;
                            for (const std::string& problem : checked.problems) {
                                message += (message.empty() ? "" : "\n") + problem;
                            }
                            return Status::failure(message);
                        }};
    return finish(io, std::move(image).value(), import, options.dryRun);
}

int refuse(Io io, const std::vector<std::string>& problems) {
    for (const std::string& problem : problems) {
        io.err << problem << "\n";
    }
    io.err << "Nothing was written.\n";
    return kExitInvalid;
}

int fail(Io io, const std::string& problem) {
    io.err << problem << "\n";
    return kExitInvalid;
}

int refuse(Io io, const std::string& problem) {
    return refuse(io, std::vector<std::string>{problem});
}

std::optional<long> wholeNumber(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty() || text.front() == '+' || (base == 16 && text.front() == '-')) {
        return std::nullopt;
    }
    long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

int saturated(long value) {
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

std::optional<std::uint8_t> byteValue(std::string_view text) {
    std::optional<long> value = wholeNumber(text);
    if (!value || *value < 0 || *value > 0xFF) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(*value);
}

std::optional<unsigned> rawValue(std::string_view text) {
    constexpr std::string_view kPrefix = "raw:0x";
    if (!text.starts_with(kPrefix) || text.size() == kPrefix.size()) {
        return std::nullopt;
    }
    text.remove_prefix(kPrefix.size());
    unsigned value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size() || value > 0xFFFF) {
        return std::nullopt;
    }
    return value;
}

std::string hexByte(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

void appendShown(std::string& to, std::string_view text) {
    const std::string_view kept = text.substr(0, kLongestShown);
    to += '"';
    std::size_t plain = 0;  // the start of the printable run not yet added
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const auto byte = static_cast<unsigned char>(kept[i]);
        if (byte < 0x20 || byte == 0x7F) {
            to.append(kept.substr(plain, i - plain));
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            to += escaped;
            plain = i + 1;
        }
    }
    to.append(kept.substr(plain));
    to += text.size() > kLongestShown ? "...\"" : "\"";
}

std::string shown(std::string_view text) {
    std::string quoted;
    quoted.reserve(std::min(text.size(), kLongestShown) + 8);
    appendShown(quoted, text);
    return quoted;
}

}  // namespace slamwise::cli
