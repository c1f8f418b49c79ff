// Fuzzing of the import files: the input is the text of a players file and of a rosters file, in
// the format this harness is built for (SLAMWISE_FUZZ_JSON: JSON, else CSV), checked against a
// synthetic image opened for reading only, with the visual data in either layout. Whatever the
// text, the result is an edit inside the image or problems that name the file.

#include <tuple>

#include "cli/Commands.h"
#include "game/Relocation.h"
#include "storage/MemoryFileSystem.h"
#include "tests/fuzz/Check.h"
#include "tests/support/ImageBuilder.h"

namespace {

using namespace slamwise;
using fuzz::check;

#ifdef SLAMWISE_FUZZ_JSON
constexpr cli::TableFormat kFormat = cli::TableFormat::Json;
#else
constexpr cli::TableFormat kFormat = cli::TableFormat::Csv;
#endif

void check(const cli::Import& import, const OpenedImage& image) {
    for (const std::string& problem : import.problems) {
        check(problem.starts_with("import"), "a problem that does not name the file: ", problem);
    }
    for (const Edit::Write& write : import.edit.writes()) {
        check(write.offset + write.bytes.size() <= image.rom().imageSize(), "a write past the end");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The images live in memory: every read of a record is a copy, not a system call.
    static MemoryFileSystem files;
    ScopedMemoryFileSystem inMemory(files);
    static const std::vector<OpenedImage> images = [] {
        std::vector<OpenedImage> opened;
        test::Image relocated({.seed = 12});
        relocated.at(kMarkerA) = 0;
        relocated.at(kMarkerB) = 0;
        for (const test::Image& image : {test::Image({.seed = 11}), relocated}) {
            const std::string path = "/fuzz/" + std::to_string(opened.size());
            files.put(path, image.bytes());
            Result<OpenedImage> open = OpenedImage::open(path, RomFile::Access::ReadOnly);
            check(open.ok(), "cannot open an image");
            opened.push_back(std::move(open).value());
        }
        return opened;
    }();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // Each text is checked against one of the images, chosen by the parity of its length: a
    // single byte added or taken away tries the other layout, and each input costs one import.
    const OpenedImage& image = images[size % 2];
    // A table whose required column is not named anywhere in the text gives no record, only
    // the problems of its header: the text is read as both tables only when it names neither
    // "index" (players) nor "team" (rosters), else as the tables it names.
    const bool namesPlayers = text.find("index") != std::string_view::npos;
    const bool namesRosters = text.find("team") != std::string_view::npos;
    const bool neither = !namesPlayers && !namesRosters;
    for (const auto& [named, columns, import] :
         {std::tuple{namesPlayers, &cli::playerColumns(), &cli::importPlayerRows},
          std::tuple{namesRosters, &cli::rosterColumns(), &cli::importRosterRows}}) {
        if (named || neither) {
            check(import(image, cli::parseTable(text, kFormat, "import", *columns)), image);
        }
    }
    return 0;
}
