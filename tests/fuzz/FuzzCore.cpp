// Fuzzing of the core: an input describes an image file (and possibly a journal beside it); the
// harness opens it, reads what the windows read and performs an action of every kind. Whatever
// the bytes, nothing crashes, a read-only opening changes nothing, a journal of this very file is
// undone exactly, a failed action changes nothing and a successful one only the bytes it writes.
//
// Input: byte 0 flags, byte 1 number of patches, then that many patches (3-byte image offset,
// 1-byte length, the bytes), then the journal material:
//   flag 0x01  copier header in front of the image (whole 32 KiB banks)
//   flag 0x02  image of full size (2 MiB, zeros where no patch lies); else just long enough
//   flag 0x04  a journal lies beside the image: the material as it is
//   flag 0x08  ... or, with 0x04, a journal of this very file whose old bytes are given by the
//              material in the patch format (it must be undone at opening)
//   flag 0x10  open for reading only first
#include <sys/stat.h>

#include <span>

#include "game/CheatBytes.h"
#include "game/Identify.h"
#include "game/Relocation.h"
#include "storage/Journal.h"
#include "storage/MemoryFileSystem.h"
#include "tests/fuzz/Check.h"
#include "tests/support/Actions.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint32_t kFullSize = 0x200000;

using Ranges = std::vector<std::pair<std::uint64_t, std::uint64_t>>;

// The file holds the expected bytes: it was written only in `written` (the rest is as it was put
// there, as in `expected`), and the bytes in `written` and `changed` are the expected ones.
bool holds(const Bytes& file, const Bytes& expected, const Ranges& written, const Ranges& changed) {
    for (const Ranges* ranges : {&written, &changed}) {
        for (auto [offset, length] : *ranges) {
            if (offset + length > expected.size() || file.size() != expected.size() ||
                !std::ranges::equal(std::span(file).subspan(offset, length),
                                    std::span(expected).subspan(offset, length))) {
                return false;
            }
        }
    }
    return true;
}

struct Patch {
    std::uint32_t offset;
    std::span<const std::uint8_t> bytes;
};

// Takes up to `count` patches from the front of the input.
std::vector<Patch> takePatches(std::span<const std::uint8_t>& input, std::size_t count) {
    std::vector<Patch> patches;
    while (patches.size() < count && input.size() >= 4) {
        std::size_t length = std::min<std::size_t>(input[3], input.size() - 4);
        patches.push_back({(input[0] | (input[1] << 8) | (input[2] << 16)) % kFullSize,
                           input.subspan(4, length)});
        input = input.subspan(4 + length);
    }
    return patches;
}

}  // namespace
}  // namespace slamwise

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace slamwise;
    using fuzz::check;
    // The files live in memory: the journal, its syncs and the checks all run as on a disk,
    // without waiting for one.
    static MemoryFileSystem files;
    ScopedMemoryFileSystem inMemory(files);
    std::span<const std::uint8_t> input(data, size);
    (void)decodeJournal(input);
    if (input.size() < 2) {
        return 0;
    }
    const std::uint8_t flags = input[0];
    input = input.subspan(2);
    const std::vector<Patch> patches = takePatches(input, data[1]);
    std::size_t imageSize = (flags & 0x02) ? kFullSize : 1;
    for (const Patch& patch : patches) {
        imageSize = std::max(imageSize, patch.offset + patch.bytes.size());
    }
    const std::size_t header = (flags & 0x01) ? 512 : 0;
    if (header != 0) {
        imageSize = (imageSize + 0x7FFF) / 0x8000 * 0x8000;
    }
    // A buffer of up to 2 MiB is kept from one input to the next (a fresh one would cost more
    // in mapped pages than the whole run of the actions), and the file is compared with it only
    // where something was written or should have been. Both are zeros but where the last input
    // put or wrote something (`dirty`): only there are they made zeros again, and only there and
    // where this input puts its patches is the file given the expected bytes.
    static Bytes expected;
    static Ranges dirty;
    const std::size_t kept = std::min(expected.size(), header + imageSize);
    for (auto [offset, length] : dirty) {
        const std::size_t from = std::min<std::size_t>(offset, kept);
        std::fill(
            expected.begin() + static_cast<long>(from),
            expected.begin() + static_cast<long>(std::min<std::size_t>(offset + length, kept)), 0);
    }
    expected.resize(header + imageSize);
    const std::size_t before = dirty.size();  // the last input's ranges; then this one's patches
    for (const Patch& patch : patches) {
        std::copy(patch.bytes.begin(), patch.bytes.end(), expected.begin() + header + patch.offset);
        dirty.emplace_back(header + patch.offset, patch.bytes.size());
    }
    const Bytes& file = expected;

    const std::string path = "/fuzz/image.sfc";
    const std::string journalPath = RomFile::journalPathFor(path);
    files.remove(journalPath);
    files.put(path, expected, dirty);
    dirty.erase(dirty.begin(), dirty.begin() + static_cast<long>(before));
    // Every write of the file from here on is taken (and kept in dirty) where it is checked.
    auto writes = [&] {
        Ranges written = files.takeWrites(path);
        dirty.insert(dirty.end(), written.begin(), written.end());
        return written;
    };
    Ranges undone;  // what a journal of this file puts back
    if ((flags & 0x0C) == 0x0C) {
        struct stat info {};
        files.stat(path.c_str(), &info);
        // A file of the right size has a copier header whatever the flag said.
        Journal journal{
            {info.st_dev, info.st_ino, file.size(), file.size() % 0x8000 == 512 ? 512u : 0u}, {}};
        for (const Patch& patch : takePatches(input, input.size())) {
            const std::size_t at = std::min<std::size_t>(patch.offset, file.size());
            const std::size_t length = std::min(patch.bytes.size(), file.size() - at);
            const auto old = patch.bytes.begin();
            const auto now = file.begin() + static_cast<long>(at);
            journal.ranges.push_back({at,
                                      {old, old + static_cast<long>(length)},
                                      {now, now + static_cast<long>(length)}});
            undone.emplace_back(at, length);
            dirty.emplace_back(at, length);
        }
        for (const JournalRange& range : journal.ranges) {
            std::copy(range.before.begin(), range.before.end(),
                      expected.begin() + static_cast<long>(range.fileOffset));
        }
        files.put(journalPath, encodeJournal(journal));
    } else if (flags & 0x04) {
        files.put(journalPath, input);
    }
    if (flags & 0x10) {
        if (Result<RomFile> reader = RomFile::open(path, RomFile::Access::ReadOnly)) {
            (void)identify(*reader), (void)detectRelocation(*reader), (void)readCheatBytes(*reader);
        }
        check(writes().empty(), "a read-only opening changed the file");
    }

    Result<RomFile> rom = RomFile::open(path);
    check(rom.ok(), "cannot open the image");
    check(holds(*files.bytes(path), expected, writes(), undone),
          "opening did not leave the file as expected");
    check((flags & 0x0C) != 0x0C || !files.exists(journalPath), "journal left behind");
    (void)identify(*rom), (void)detectRelocation(*rom);  // what the windows work out

    static const std::vector<test::Action> actions = test::representativeActions();
    for (const test::Action& action : actions) {
        Edit edit;
        Status status = action.build(*rom, edit) ? rom->apply(edit) : Status::failure("");
        Ranges changed;
        if (!status) {
            edit = Edit();  // nothing of it reached the file
        }
        for (const Edit::Write& write : edit.writes()) {
            const std::uint64_t at = rom->headerSize() + write.offset;
            std::copy(write.bytes.begin(), write.bytes.end(),
                      expected.begin() + static_cast<long>(at));
            changed.emplace_back(at, write.bytes.size());
            dirty.emplace_back(at, write.bytes.size());
        }
        check(holds(*files.bytes(path), expected, writes(), changed), action.name,
              " changed bytes it does not write");
    }
    return 0;
}
