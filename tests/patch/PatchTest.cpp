#include "patch/Patch.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <string>

#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr PatchFormat kFormats[] = {PatchFormat::Ips, PatchFormat::Bps};

Bytes applied(Bytes image, const Edit& edit) {
    for (const Edit::Write& write : edit.writes()) {
        std::copy(write.bytes.begin(), write.bytes.end(), image.begin() + write.offset);
    }
    return image;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes text(const std::string& s) {
    return {s.begin(), s.end()};
}

Bytes le32(uLong value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

uLong crc(const Bytes& bytes) {
    return crc32(0, bytes.data(), static_cast<uInt>(bytes.size()));
}

// A BPS patch laid out by hand: magic, the body (sizes, metadata, actions), the CRC32 of source,
// target and of everything before the last four bytes.
Bytes bps(const Bytes& body, const Bytes& source, const Bytes& target) {
    Bytes patch = text("BPS1") + body + le32(crc(source)) + le32(crc(target));
    return patch + le32(crc(patch));
}

TEST(Patch, FormatFollowsTheExtension) {
    EXPECT_EQ(*patchFormatFor("mod.ips"), PatchFormat::Ips);
    EXPECT_EQ(*patchFormatFor("dir/MOD.BPS"), PatchFormat::Bps);
    EXPECT_FALSE(patchFormatFor("mod.ups").ok());
    EXPECT_FALSE(patchFormatFor("bps").ok());
}

// An edit of every kind; the images just past 0x454F46 put a change and a run where a
// record would start at 0x454F46, which reads as "EOF" in an IPS patch.
TEST(Patch, CreateThenApplyGivesTheEditedImage) {
    struct Case {
        const char* name;
        std::size_t size;
        std::function<void(Bytes&)> edit;
    };
    const Case cases[] = {
        {"identical", 0x10000, [](Bytes&) {}},
        {"scattered, runs, long stretches", 0x100000,
         [](Bytes& b) {
             for (std::size_t i = 0; i < b.size(); i += 997) {
                 b[i] ^= 0x5A;
             }
             std::fill_n(b.begin() + 0x1000, 40, 0x77);
             std::fill_n(b.begin() + 0x20000, 0x20000, 0x00);
             std::reverse(b.begin() + 0x50000, b.begin() + 0x70000);
             b.back() ^= 1;
         }},
        {"a byte at 0x454F46", 0x455000, [](Bytes& b) { b[0x454F46] ^= 0xFF; }},
        {"a run from 0x454F46", 0x455000,
         [](Bytes& b) { std::fill_n(b.begin() + 0x454F46, 100, 0xEE); }},
        {"longer", 0x10000, [](Bytes& b) { b.resize(b.size() + 3000, 0xAB), b[5] ^= 1; }},
        {"shorter", 0x10000, [](Bytes& b) { b.resize(b.size() - 3000), b[5] ^= 1; }},
    };
    for (const Case& c : cases) {
        Bytes original = test::Image({.size = c.size, .seed = 3}).bytes();
        Bytes edited = original;
        c.edit(edited);
        for (PatchFormat format : kFormats) {
            std::string name = std::string(c.name) + (format == PatchFormat::Ips ? " ips" : " bps");
            Result<Bytes> patch = createPatch(format, original, edited);
            ASSERT_TRUE(patch.ok()) << name << ": " << patch.error();
            Result<Bytes> made = patchedImage(format, *patch, original);
            ASSERT_TRUE(made.ok()) << name << ": " << made.error();
            EXPECT_TRUE(*made == edited) << name;
            Result<PatchResult> result = applyPatch(format, *patch, original);
            if (edited.size() == original.size()) {
                ASSERT_TRUE(result.ok()) << name << ": " << result.error();
                EXPECT_TRUE(applied(original, result->edit) == edited) << name;
                EXPECT_EQ(result->changedBytes, test::changedOffsets(original, edited).size());
            } else {
                EXPECT_FALSE(result.ok()) << name;
            }
        }
    }
}

TEST(Patch, IpsWritesLongRunsAsRunRecords) {
    Bytes original(0x30000, 0);
    Bytes edited = original;
    std::fill_n(edited.begin() + 0x1000, 0x20000, 0x77);
    // "PATCH", run records of 0xFFFF, 0xFFFF and 2 bytes (8 bytes each), "EOF"
    EXPECT_EQ(createPatch(PatchFormat::Ips, original, edited)->size(), 5u + 3 * 8 + 3);
}

TEST(Patch, RoundTripThroughAFileWithAndWithoutCopierHeader) {
    test::TempDir dir;
    for (bool header : {false, true}) {
        for (PatchFormat format : kFormats) {
            test::Image original({.size = 0x80000, .copierHeader = header, .seed = 5});
            test::Image edited = original;
            for (std::uint32_t i = 0; i < 0x80000; i += 4093) {
                edited.at(i) ^= 0x33;
            }
            Result<RomFile> rom = RomFile::open(original.writeTo(dir.file("image.sfc")));
            Bytes image = *readImage(*rom);
            Bytes patch =
                *createPatch(format, image, std::span(edited.bytes()).subspan(edited.headerSize()));
            Result<PatchResult> result = applyPatch(format, patch, image);
            ASSERT_TRUE(result.ok() && rom->apply(result->edit).ok());
            EXPECT_TRUE(test::readFile(rom->path()) == edited.bytes()) << header;
        }
    }
}

TEST(Patch, IpsMadeByHandApplies) {
    Bytes image(16, 0x00);
    Bytes patch = text("PATCH") + Bytes{0, 0, 2, 0, 3, 0xAA, 0xBB, 0xCC} +  // 3 bytes at 2
                  Bytes{0, 0, 8, 0, 0, 0, 4, 0x55} +                        // 4 times 0x55 at 8
                  Bytes{0, 0, 14, 0, 4, 0x11, 0x22, 0x33, 0x44} +           // 2 bytes past the end
                  text("EOF") + Bytes{0, 0, 16};                            // cut back to 16 bytes
    Result<PatchResult> result = applyPatch(PatchFormat::Ips, patch, image);
    ASSERT_TRUE(result.ok()) << result.error();
    EXPECT_EQ(applied(image, result->edit),
              (Bytes{0, 0, 0xAA, 0xBB, 0xCC, 0, 0, 0, 0x55, 0x55, 0x55, 0x55, 0, 0, 0x11, 0x22}));
    EXPECT_NE(result->note.find("no check"), std::string::npos);
}

TEST(Patch, BpsMadeByHandApplies) {
    Bytes source = text("abcdefgh");
    Bytes target = text("abXYghXY");
    // Sizes 8, 8, metadata 0; then each action is ((length - 1) << 2 | kind), numbers ending in a
    // byte with the top bit set: SourceRead 2; TargetRead 2 "XY"; SourceCopy 2 from +6 (6 << 1);
    // TargetCopy 2 from +2 (2 << 1).
    Bytes body = {0x88, 0x88, 0x80, 0x84, 0x85, 'X', 'Y', 0x86, 0x8C, 0x87, 0x84};
    Result<PatchResult> result = applyPatch(PatchFormat::Bps, bps(body, source, target), source);
    ASSERT_TRUE(result.ok()) << result.error();
    EXPECT_EQ(applied(source, result->edit), target);
}

TEST(Patch, BadPatchesAreRefused) {
    Bytes image = text("abcdefgh");
    Bytes good = bps({0x88, 0x88, 0x80, 0x9C}, image, image);  // SourceRead 8
    Bytes damaged = good;
    damaged[5] ^= 1;
    struct Case {
        PatchFormat format;
        Bytes patch;
        Bytes image;
        const char* message;
    };
    const Case cases[] = {
        {PatchFormat::Ips, {}, image, "empty"},
        {PatchFormat::Ips, text("PATCX") + text("EOF"), image, "not an IPS patch"},
        {PatchFormat::Ips, text("PATCH"), image, "without \"EOF\""},
        {PatchFormat::Ips, text("PATCH") + Bytes{0, 0, 1, 0, 1, 7}, image, "without \"EOF\""},
        {PatchFormat::Ips, text("PATCH") + Bytes{0, 0, 1, 0, 5, 7}, image, "cut off"},
        {PatchFormat::Ips, text("PATCH") + Bytes{0, 0, 1, 0, 0, 0}, image, "cut off"},
        {PatchFormat::Ips, text("PATCHEOF") + Bytes{1}, image, "unexpected bytes"},
        {PatchFormat::Ips, text("PATCH") + Bytes{0, 0, 8, 0, 1, 7} + text("EOF"), image,
         "lengthen the image from 8 to 9"},
        {PatchFormat::Ips, text("PATCHEOF") + Bytes{0, 0, 4}, image, "shorten"},
        {PatchFormat::Bps, {}, image, "empty"},
        {PatchFormat::Bps, text("BPS2") + Bytes(20), image, "not a BPS patch"},
        {PatchFormat::Bps, text("BPS1") + Bytes(10), image, "too short"},
        {PatchFormat::Bps, Bytes(good.begin(), good.end() - 1), image, "CRC32"},
        {PatchFormat::Bps, damaged, image, "CRC32"},
        {PatchFormat::Bps, good, text("abcdefgH"), "this patch is for another image"},
        {PatchFormat::Bps, good, text("abcdefghi"), "this patch is for another image"},
        {PatchFormat::Bps, bps({0x88, 0x89, 0x80, 0x9C, 0x81, 'z'}, image, text("abcdefghz")),
         image, "lengthen the image from 8 to 9"},
        {PatchFormat::Bps, bps({0x88, 0x88, 0x80, 0x9C}, image, text("abcdefgX")), image,
         "expects"},
        {PatchFormat::Bps, bps(Bytes{0x00} + Bytes(9, 0x00) + Bytes{0x80}, image, image), image,
         "too large"},
        {PatchFormat::Bps, bps({0x88, 0x88, 0x80, 0xA0}, image, image), image, "past the end"},
        {PatchFormat::Bps, bps({0x88, 0x88, 0x80, 0x98}, image, image), image, "make 7 of the 8"},
        {PatchFormat::Bps, bps({0x88, 0x88, 0x80, 0x8E, 0x90}, image, image), image,
         "copies from outside"},
        {PatchFormat::Bps, bps({0x88, 0x88, 0x80, 0x80, 0x9B, 0x82}, image, image), image,
         "not yet made"},
        {PatchFormat::Bps, bps({0x88, 0x88, 0x80, 0x81}, image, image), image, "in the middle"},
    };
    for (const Case& c : cases) {
        Result<PatchResult> result = applyPatch(c.format, c.patch, c.image);
        ASSERT_FALSE(result.ok()) << c.message;
        EXPECT_NE(result.error().find(c.message), std::string::npos) << result.error();
    }
}

}  // namespace
}  // namespace slamwise
