// Fuzzing of the core: an input describes an image file (and possibly a journal beside it); the
// harness opens it, reads everything the windows read, performs one action of every kind and
// checks that each changed only its own fields.
//
// Input: byte 0 flags, byte 1 number of patches, then that many patches (3-byte image offset,
// 1-byte length, the bytes), then the journal material:
//   flag 0x01  copier header in front of the image
//   flag 0x02  image of full size (2 MiB, zeros where no patch lies); else just long enough
//   flag 0x04  a journal lies beside the image: the material as it is
//   flag 0x08  ... or, with 0x04, a journal of this very file whose old bytes are given by the
//              material in the patch format (it must be undone at opening)
//   flag 0x10  open for reading only first (must change nothing)
#include <fcntl.h>
#include <unistd.h>

#include <sys/stat.h>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "cheats/CheatBytes.h"
#include "player/ActualTable.h"
#include "player/Relocation.h"
#include "player/VisualTable.h"
#include "rom/Identify.h"
#include "rom/Journal.h"
#include "rom/RomFile.h"
#include "roster/RosterTable.h"
#include "tests/support/Actions.h"

namespace slamwise {
namespace {

constexpr std::uint8_t kFlagCopierHeader = 0x01;
constexpr std::uint8_t kFlagFullSize = 0x02;
constexpr std::uint8_t kFlagJournal = 0x04;
constexpr std::uint8_t kFlagOwnJournal = 0x08;
constexpr std::uint8_t kFlagReadOnlyFirst = 0x10;
constexpr std::uint32_t kFullImageSize = 0x200000;  // covers every table of the game
constexpr std::uint32_t kBankSize = 0x8000;         // copier headers go with whole banks

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
    std::abort();
}

struct Patch {
    std::uint32_t offset;
    std::span<const std::uint8_t> bytes;
};

// Reads patches from the front of the input; stops at `count` patches or the end.
std::vector<Patch> takePatches(std::span<const std::uint8_t>& input, std::size_t count) {
    std::vector<Patch> patches;
    while (patches.size() < count && input.size() >= 4) {
        std::uint32_t offset = (input[0] | (input[1] << 8) | (input[2] << 16)) % kFullImageSize;
        std::size_t length = std::min<std::size_t>(input[3], input.size() - 4);
        patches.push_back({offset, input.subspan(4, length)});
        input = input.subspan(4 + length);
    }
    return patches;
}

std::vector<std::uint8_t> readWhole(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        fail("cannot read back " + path);
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    if (::pread(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
        fail("cannot read back " + path);
    }
    ::close(fd);
    return bytes;
}

void writeWhole(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        fail("cannot write " + path);
    }
    ::close(fd);
}

const std::string& workFolder() {
    static const std::string folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "slamwise-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            fail("cannot make a folder");
        }
        return pattern;
    }();
    return folder;
}

// Reads everything the windows read; failures are fine, crashes are not.
void readEverything(const RomFile& rom) {
    (void)identify(rom);
    (void)detectRelocation(rom);
    for (int player = 0; player < kPlayerCount; ++player) {
        (void)readPlayerRecord(rom, player);
        for (VisualLayout layout : {VisualLayout::Standard, VisualLayout::Relocated}) {
            if (hasVisualRecord(layout, player)) {
                (void)readVisualRatings(rom, layout, player);
            }
        }
    }
    for (int team = 0; team < kRosterTeamCount; ++team) {
        for (int slot = 0; slot < kRosterSlotCount; ++slot) {
            (void)readSlot(rom, team, slot);
        }
    }
    (void)readCheatBytes(rom);
}

// before: the file as the action finds it; afterwards the file as the action leaves it.
void checkAction(const test::Action& action, RomFile& rom, std::size_t headerSize,
                 std::vector<std::uint8_t>& before) {
    Status status = test::perform(action, rom);
    std::vector<std::uint8_t> after = readWhole(rom.path());
    if (after.size() != before.size()) {
        fail(action.name + " changed the size of the file");
    }
    if (!status && after != before) {
        fail(action.name + " failed (" + status.message() + ") but changed the file");
    }
    // Block by block: only blocks that differ are looked at byte by byte.
    constexpr std::size_t kBlock = 4096;
    for (std::size_t start = 0; start < after.size(); start += kBlock) {
        std::size_t end = std::min(after.size(), start + kBlock);
        if (std::memcmp(after.data() + start, before.data() + start, end - start) == 0) {
            continue;
        }
        for (std::size_t i = start; i < end; ++i) {
            if (after[i] != before[i] &&
                (i < headerSize ||
                 !test::inside(action.mayWrite, static_cast<std::uint32_t>(i - headerSize)))) {
                fail(action.name + " changed file byte " + std::to_string(i));
            }
        }
    }
    before = std::move(after);
}

}  // namespace
}  // namespace slamwise

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace slamwise;
    std::span<const std::uint8_t> input(data, size);
    (void)decodeJournal(input);
    if (input.size() < 2) {
        return 0;
    }
    const std::uint8_t flags = input[0];
    const std::size_t patchCount = input[1];
    input = input.subspan(2);
    std::vector<Patch> patches = takePatches(input, patchCount);

    std::size_t imageSize = 1;
    for (const Patch& patch : patches) {
        imageSize = std::max(imageSize, patch.offset + patch.bytes.size());
    }
    std::size_t headerSize = 0;
    if (flags & kFlagFullSize) {
        imageSize = std::max<std::size_t>(imageSize, kFullImageSize);
    }
    if (flags & kFlagCopierHeader) {
        headerSize = RomFile::kCopierHeaderSize;
        imageSize = (imageSize + kBankSize - 1) / kBankSize * kBankSize;
    }
    std::vector<std::uint8_t> file(headerSize + imageSize, 0);
    for (const Patch& patch : patches) {
        std::copy(patch.bytes.begin(), patch.bytes.end(), file.begin() + headerSize + patch.offset);
    }
    // A file of the right size has a copier header whatever the flag said: the editor goes by
    // the size alone.
    headerSize =
        file.size() % kBankSize == RomFile::kCopierHeaderSize ? RomFile::kCopierHeaderSize : 0;

    const std::string path = workFolder() + "/image.sfc";
    const std::string journalPath = RomFile::journalPathFor(path);
    std::filesystem::remove(journalPath);
    writeWhole(path, file);

    // What the file must look like once a journal of its own has been undone.
    std::optional<std::vector<std::uint8_t>> restored;
    if (flags & kFlagJournal) {
        if (flags & kFlagOwnJournal) {
            struct stat info {};
            ::stat(path.c_str(), &info);
            Journal journal{
                {info.st_dev, info.st_ino, file.size(), static_cast<std::uint32_t>(headerSize)},
                {}};
            restored = file;
            for (const Patch& patch : takePatches(input, input.size())) {
                std::uint64_t at = std::min<std::uint64_t>(patch.offset, file.size());
                std::size_t length = std::min<std::size_t>(patch.bytes.size(), file.size() - at);
                auto here = file.begin() + static_cast<long>(at);
                // The file holds what the change wrote; the journal the material as old bytes.
                journal.ranges.push_back(
                    {at,
                     {patch.bytes.begin(), patch.bytes.begin() + static_cast<long>(length)},
                     {here, here + static_cast<long>(length)}});
                std::copy_n(patch.bytes.begin(), length, restored->begin() + static_cast<long>(at));
            }
            writeWhole(journalPath, encodeJournal(journal));
        } else {
            writeWhole(journalPath, {input.begin(), input.end()});
        }
    }

    if (flags & kFlagReadOnlyFirst) {
        Result<RomFile> reader = RomFile::open(path, RomFile::Access::ReadOnly);
        if (reader) {
            readEverything(*reader);
        }
        if (readWhole(path) != file) {
            fail("a read-only opening changed the file");
        }
    }

    Result<RomFile> rom = RomFile::open(path);
    if (!rom) {
        fail("cannot open the image: " + rom.error());
    }
    if (rom->headerSize() != headerSize) {
        fail("copier header not recognised");
    }
    if (restored) {
        if (readWhole(path) != *restored) {
            fail("the journal was not undone exactly");
        }
        if (std::filesystem::exists(journalPath)) {
            fail("the journal was left behind after being undone");
        }
        file = std::move(*restored);
    } else if (readWhole(path) != file) {
        fail("opening changed the file although no journal of it was there");
    }
    readEverything(*rom);

    std::vector<test::Action> actions = test::representativeActions();
    std::mt19937 random(static_cast<std::uint32_t>(fnv1a64({data, size})));
    actions.push_back(test::randomAction(random));
    for (const test::Action& action : actions) {
        checkAction(action, *rom, rom->headerSize(), file);
    }
    return 0;
}
