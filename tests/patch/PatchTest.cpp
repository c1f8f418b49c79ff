#include "patch/Patch.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <string>

#include "storage/ChangedRanges.h"
#include "tests/fuzz/Check.h"
#include "tests/support/EditShapes.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using Bytes = std::vector<std::uint8_t>;
using fuzz::applied;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const auto text = [](std::string_view s) { return Bytes(s.begin(), s.end()); };

// The CRC32 of the bytes, little-endian as a BPS patch holds it.
Bytes crc(const Bytes& bytes) {
    const uLong value = crc32(0, bytes.data(), static_cast<uInt>(bytes.size()));
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

// A BPS patch laid out by hand: magic, the body (sizes, metadata, actions), the CRC32 of source,
// target and of everything before the last four bytes.
Bytes bps(const Bytes& body, const Bytes& source, const Bytes& target) {
    Bytes patch = text("BPS1") + body + crc(source) + crc(target);
    return patch + crc(patch);
}

// An edit of every kind; the images just past 0x454F46 put a change and a run where a
// record would start at 0x454F46, which reads as "EOF" in an IPS patch.
TEST(Patch, CreateThenApplyGivesTheEditedImage) {
    const std::tuple<const char*, std::size_t, std::function<void(Bytes&)>> cases[] = {
        {"scattered, runs, long stretches", 0x100000,
         [](Bytes& b) {
             for (std::size_t i = 0; i < b.size(); i += 997) {
                 b[i] ^= 0x5A;
             }
             std::fill_n(b.begin() + 0x20000, 0x20000, 0x00), b.back() ^= 1;
         }},
        {"a byte at 0x454F46", 0x455000, [](Bytes& b) { b[0x454F46] ^= 0xFF; }},
        {"a run from 0x454F46", 0x455000,
         [](Bytes& b) { std::fill_n(b.begin() + 0x454F46, 100, 0xEE); }},
    };
    for (const auto& [name, size, edit] : cases) {
        Bytes original = test::Image({.size = size, .seed = 3}).bytes();
        Bytes edited = original;
        edit(edited);
        for (PatchFormat format : {PatchFormat::Ips, PatchFormat::Bps}) {
            SCOPED_TRACE(std::string(name) + (format == PatchFormat::Ips ? " ips" : " bps"));
            Result<Bytes> patch = createPatch(format, original, edited);
            ASSERT_TRUE(patch.ok()) << patch.error();
            Result<PatchResult> result = applyPatch(format, *patch, original);
            ASSERT_TRUE(result.ok()) << result.error();
            EXPECT_TRUE(applied(original, result->edit) == edited);
            EXPECT_EQ(result->changedBytes, test::changedOffsets(original, edited).size());
        }
    }
}

// Patches laid out by hand. IPS: 3 bytes at 2, four times 0x55 at 8, 2 bytes past the end, then
// cut back to 16 bytes. BPS: sizes 8, 8, metadata 0; then each action is ((length - 1) << 2 |
// kind), numbers ending in a byte with the top bit set: SourceRead 2; TargetRead 2 "XY";
// SourceCopy 2 from +6 (6 << 1); TargetCopy 2 from +2 (2 << 1). An IPS patch at file offsets
// never reaches into the copier header, and is not moved at image offsets; a BPS patch ignores
// the IPS offsets. (The format by the first bytes, a patch already applied and the header's
// warning are pinned through the command line.)
TEST(Patch, PatchesMadeByHandApply) {
    using enum IpsOffsets;
    const Bytes zeros(16, 0), source = text("abcdefgh"), target = text("abXYghXY");
    const Bytes handIps =
        text("PATCH") + Bytes{0, 0, 2, 0, 3, 0xAA, 0xBB, 0xCC, 0, 0, 8, 0, 0, 0, 4, 0x55} +
        Bytes{0, 0, 14, 0, 4, 0x11, 0x22, 0x33, 0x44} + text("EOF") + Bytes{0, 0, 16};
    const Bytes made = {0, 0, 0xAA, 0xBB, 0xCC, 0, 0, 0, 0x55, 0x55, 0x55, 0x55, 0, 0, 0x11, 0x22};
    const Bytes handBps =
        bps({0x88, 0x88, 0x80, 0x84, 0x85, 'X', 'Y', 0x86, 0x8C, 0x87, 0x84}, source, target);
    // 'Z' at file offset 0x203 (image offset 3 after a 512-byte header), and at 9.
    const Bytes ips = text("PATCH") + Bytes{0x00, 0x02, 0x03, 0, 1, 'Z'} + text("EOF");
    const Bytes intoHeader = text("PATCH") + Bytes{0, 0, 9, 0, 1, 'Z'} + text("EOF");
    const std::tuple<Bytes, Bytes, ApplyOptions, Bytes> cases[] = {
        // patch, image, options, the image made or a part of the refusal
        {handIps, zeros, {}, made},
        {handBps, source, {}, target},
        {ips, source, {}, text("would lengthen the image from 8 to 516 bytes")},
        {ips, source, {File, 512}, text("abcZefgh")},
        {intoHeader, source, {File, 512}, text("writes into the copier header (at file offset 9)")},
        {createPatch(PatchFormat::Bps, source, target).value(), source, {File, 512}, target},
    };
    for (const auto& [patch, image, options, expected] : cases) {
        Result<PatchResult> result = applyPatch(patch, image, options);
        const Bytes got = result ? applied(image, result->edit) : text(result.error());
        EXPECT_FALSE(std::ranges::search(got, expected).empty())
            << std::string(got.begin(), got.end());
    }
}

TEST(Patch, BadPatchesAreRefused) {
    using enum PatchFormat;
    const Bytes image = text("abcdefgh"), other = text("abcdefgH");
    Bytes damaged = bps({0x88, 0x88, 0x80, 0x9C}, image, image);  // SourceRead 8
    damaged[5] ^= 1;
    const std::tuple<PatchFormat, Bytes, const char*> cases[] = {
        {Ips, {}, "empty"},
        {Ips, text("PATCX") + text("EOF"), "not an IPS patch"},
        {Ips, text("PATCH") + Bytes{0, 0, 1, 0, 1, 7}, "without \"EOF\""},
        {Ips, text("PATCH") + Bytes{0, 0, 1, 0, 5, 7}, "cut off"},
        {Ips, text("PATCH") + Bytes{0, 0, 8, 0, 1, 7} + text("EOF"),
         "lengthen the image from 8 to 9"},
        {Ips, text("PATCHEOF") + Bytes{0, 0, 4}, "shorten"},
        {Bps, text("BPS2") + Bytes(20), "not a BPS patch"},
        {Bps, damaged, "CRC32"},
        {Bps, bps({0x88, 0x88, 0x80, 0x9C}, other, other), "this patch is for another image"},
        {Bps, bps({0x88, 0x89, 0x80, 0x9C, 0x81, 'z'}, image, text("abcdefghz")),
         "lengthen the image from 8 to 9"},
        {Bps, bps({0x88, 0x88, 0x80, 0x9C}, image, other), "expects"},
        {Bps, bps(Bytes{0x00} + Bytes(9, 0x00) + Bytes{0x80}, image, image), "too large"},
        {Bps, bps({0x88, 0x88, 0x80, 0xA0}, image, image), "past the end"},
        {Bps, bps({0x88, 0x88, 0x80, 0x98}, image, image), "make 7 of the 8"},
        {Bps, bps({0x88, 0x88, 0x80, 0x8E, 0x90}, image, image), "copies from outside"},
        {Bps, bps({0x88, 0x88, 0x80, 0x80, 0x9B, 0x82}, image, image), "not yet made"},
        {Bps, bps({0x88, 0x88, 0x80, 0x81}, image, image), "in the middle"},
    };
    for (const auto& [format, patch, message] : cases) {
        Result<PatchResult> result = applyPatch(format, patch, image);
        ASSERT_FALSE(result.ok()) << message;
        EXPECT_NE(result.error().find(message), std::string::npos) << result.error();
    }
}

// The BPS patch of each edit shape on a 4 MiB image: it makes the edited image, is no larger
// than measured (the sizes a widely used patcher's smallest BPS has on the same edits: 1,428,
// 70, 111 and 5,585 bytes), and applying it writes one run of changed bytes per write, runs
// fewer than 16 bytes apart joined.
TEST(Patch, BpsOfEachEditShapeIsSmallAndWritesRuns) {
    const std::tuple<test::EditShape, std::size_t, std::size_t> cases[] = {
        {test::EditShape::Scattered, 1428, 300},
        {test::EditShape::Blocks, 70, 4},
        {test::EditShape::Runs, 111, 8},
        {test::EditShape::Mixed, 5576, 1222},
    };
    const Bytes original = test::Image({.size = 0x400000, .seed = 23}).bytes();
    for (const auto& [shape, largest, writes] : cases) {
        SCOPED_TRACE(test::shapeName(shape));
        const Bytes edited = test::shapedEdit(shape, original);
        Result<Bytes> patch = createPatch(PatchFormat::Bps, original, edited);
        ASSERT_TRUE(patch.ok()) << patch.error();
        EXPECT_LE(patch->size(), largest);
        Result<PatchResult> result = applyPatch(*patch, original, {});
        ASSERT_TRUE(result.ok()) << result.error();
        EXPECT_TRUE(applied(original, result->edit) == edited);
        EXPECT_EQ(result->edit.writes().size(), writes);
    }
}

TEST(Patch, ChangedRangesAreTheRunsOfBytesThatDiffer) {
    const Bytes image = text("abcdefghij");
    Edit edit;
    edit.putBytes(1, text("bXY"));  // b as it is, then X Y
    edit.putBytes(3, text("Q"));    // over Y: a later write wins
    edit.putBytes(6, text("gH"));
    edit.put8(9, 'j');
    edit.putBytes(9, text("JKL"));  // past the end: only J counts
    std::string listed;
    for (const ChangedRange& range : changedRanges(image, edit)) {
        listed += std::to_string(range.offset) + "-" + std::to_string(range.last()) + ":" +
                  std::string(range.before.begin(), range.before.end()) + ">" +
                  std::string(range.after.begin(), range.after.end()) + " ";
    }
    EXPECT_EQ(listed, "2-3:cd>XQ 7-7:h>H 9-9:j>J ");
}

}  // namespace
}  // namespace slamwise
