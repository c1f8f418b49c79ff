// The changes between two images in the game's terms: each kind, exactly as the lines read.
#include <gtest/gtest.h>

#include "image/Changes.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using test::Image;
using test::relocated;
using test::with;
using Bytes = std::vector<std::pair<std::uint32_t, std::uint8_t>>;

constexpr std::uint32_t kPlayer37 = 0x1FB8CF + 37 * 26;
constexpr std::uint32_t kVisual5 = 0x930C9 + 5 * 16;
constexpr std::uint32_t kSlot = 0xB18CF + 3 * 80 + 3 * 4;  // team 3, slot 4

std::vector<std::string> lines(const Image& before, const Image& after, Release release) {
    std::vector<std::string> text;
    for (const Change& change :
         gameChangesBetween(before.bytes(), after.bytes(), release, defaultNames())) {
        text.push_back(describe(change));
    }
    return text;
}

TEST(Changes, EachKindReadsAsTheGameHasIt) {
    const struct {
        Release release;
        Bytes before, after;
        std::vector<std::string> lines;
        std::string summary;
    } cases[] = {
        // clang-format off
        {Release::NorthAmerica,
         {{kPlayer37, 31}, {kPlayer37 + 2, 0}, {kPlayer37 + 4, 0x9F}, {kPlayer37 + 5, 0x15},
          {kPlayer37 + 8, 15}, {kPlayer37 + 14, 0xF8}, {kPlayer37 + 15, 0xFF},
          {kPlayer37 + 22, 0x89}, {kPlayer37 + 23, 0xB7}, {kPlayer37 + 9, 0}},
         {{kPlayer37, 40}, {kPlayer37 + 2, 1}, {kPlayer37 + 4, 0x44}, {kPlayer37 + 5, 0x16},
          {kPlayer37 + 8, 4}, {kPlayer37 + 14, 0x05}, {kPlayer37 + 15, 0x00},
          {kPlayer37 + 22, 0x7F}, {kPlayer37 + 23, 0xB7}, {kPlayer37 + 9, 0x77}},
         {"Player 037 (Player 037): value 31 -> 40",
          "Player 037 (Player 037): height normal -> small",
          "Player 037 (Player 037): speed 5 -> 7",
          "Player 037 (Player 037): dunk raw:0x0F -> 4",
          "Player 037 (Player 037): ai 3 -> 16",
          "Player 037 (Player 037): skin white -> black",
          "Other bytes: $1FBC9A (1 byte)"},
         "1 player, 1 other byte"},
        {Release::Japan,
         {{kVisual5, 3}, {kVisual5 + 2, 0x20}, {kVisual5 + 3, 0}, {0x1FB8CF + 4, 0x12},
          {0x1FB8CF + 5, 0x34}},
         {{kVisual5, 9}, {kVisual5 + 2, 0x21}, {kVisual5 + 3, 1}, {0x1FB8CF + 4, 0x13}},
         {"Player 000 (Player 000): speed raw:0x3412 -> raw:0x3413",
          "Player 005 (Player 005): visual speed 3 -> 9",
          "Player 005 (Player 005): visual three_point 32 -> 33", "Other bytes: $9311C (1 byte)"},
         "2 players, 1 other byte"},
        {Release::Europe,
         {{kSlot, 0x12}, {kSlot + 1, 0}, {kSlot + 2, 0x05}, {kSlot + 3, 0}, {kPlayer37 + 8, 1},
          {0x179C4, 0}},
         {{kSlot, 0x20}, {kSlot + 1, 0xFF}, {kSlot + 2, 0xFE}, {kSlot + 3, 1}, {kPlayer37 + 8, 2},
          {0x179C4, 1}},
         {"Team 03 slot 4: position 1 0x12 (Player 018) -> 0x20 (Player 032)",
          "Team 03 slot 4: companion byte 0x00 -> 0xFF",
          "Team 03 slot 4: position 2 0x05 (Player 005) -> 0xFE (End of Team Roster Data)",
          "Other bytes: $179C4 (1 byte)", "Other bytes: $B19CE (1 byte)",
          "Other bytes: $1FBC99 (1 byte)"},
         "1 roster slot, 3 other bytes"},
        {Release::OldSchool,
         {{0x179C4, 0x00}, {0x179C5, 0x02}, {0x7FDC, 0x42}, {0x7FDD, 0xCF}, {0x7FDE, 0xBD},
          {0x7FDF, 0x30}, {kPlayer37 + 8, 1}},
         {{0x179C4, 0x81}, {0x179C5, 0x00}, {0x7FDC, 0x3D}, {0x7FDD, 0xBE}, {0x7FDE, 0xC2},
          {0x7FDF, 0x41}, {kPlayer37 + 8, 2}},
         {"Cheat \"Powerup Push\": off -> on", "Cheat \"Quick Hands\": off -> on",
          "Cheat \"Speed Mode\": on -> off", "Checksum: 0x30BD -> 0x41C2",
          "Checksum complement: 0xCF42 -> 0xBE3D", "Other bytes: $1FBC99 (1 byte)"},
         "3 cheat switches, the checksum, 1 other byte"},
        {Release::Beta, {{0x451A0, 0}, {0x451A1, 0}, {0x451AF, 0}}, {{0x451A0, 1}, {0x451A1, 2}, {0x451AF, 3}},
         {"Other bytes: $451A0-$451A1 (2 bytes)", "Other bytes: $451AF (1 byte)"}, "3 other bytes"},
        // clang-format on
    };
    for (const auto& [release, before, after, expected, summary] : cases) {
        const Image old = with(Image({.release = release, .seed = 3}), before);
        EXPECT_EQ(lines(old, with(old, after), release), expected) << static_cast<int>(release);
        EXPECT_EQ(summarize(gameChangesBetween(old.bytes(), with(old, after).bytes(), release,
                                               defaultNames())),
                  summary);
    }
    // Every kind of change at once, in the summary's order.
    EXPECT_EQ(summarize({}), "no changes");
    EXPECT_EQ(summarize({{.kind = ChangeKind::Bytes, .length = 2},
                         {.kind = ChangeKind::Checksum},
                         {.kind = ChangeKind::Relocation},
                         {.kind = ChangeKind::Cheat},
                         {.kind = ChangeKind::Roster},
                         {.kind = ChangeKind::Visual, .index = 0}}),
              "1 player, 1 roster slot, 1 cheat switch, the visual table relocation, the checksum, "
              "2 other bytes");
}

TEST(Changes, ARelocationIsOneChangeAndWhatFollowsItShows) {
    const Image standard({.seed = 4});
    Image after = relocated(standard);
    after.at(0x27000 + 130 * 16 + 4) = 4;  // player 130's dunk, a record the relocation made
    after.at(0x27000 + 2 * 16 + 1) = 7;    // a high byte of player 2's record
    EXPECT_EQ(lines(standard, after, Release::NorthAmerica),
              (std::vector<std::string>{"Visual table relocated",
                                        "Player 130 (Special Player 130): visual dunk 10 -> 4",
                                        "Other bytes: $27021 (1 byte)"}));
    // Back again: the relocation's bytes are one change the other way; the standard table is read.
    Image back = with(standard, {{kVisual5 + 14, 1}, {kVisual5 + 15, 0}});
    const Image from = with(relocated(standard), {{kVisual5 + 14, 0}, {kVisual5 + 15, 0}});
    EXPECT_EQ(lines(from, back, Release::NorthAmerica),
              (std::vector<std::string>{"Visual table back in its standard place",
                                        "Player 005 (Player 005): visual clutch 0 -> 1"}));
}

// Tables an image does not hold whole, or a release does not have, are only bytes: the pointer
// sites of a relocation whose standard table lies beyond the end, the checksum of an image that
// ends inside it, a relocation in a release without visual data.
TEST(Changes, TablesAnImageDoesNotHoldWholeAreBytes) {
    const Image shortOld({.size = 0x7FDE, .seed = 8});
    const Image longOld({.size = 0x60000, .seed = 8});
    const Image standard({.seed = 4});
    Image longNow = longOld;
    for (std::uint32_t site : test::kRelocationSites) {
        longNow = with(longNow, {{site, 0x00}, {site + 1, 0xF0}, {site + 2, 0x04}});
    }
    const std::tuple<Image, Image, Release> cases[] = {
        {shortOld, with(shortOld, {{0x7FDC, 0}, {0x7FDD, 0}}), Release::NorthAmerica},
        {longOld, longNow, Release::NorthAmerica},
        {standard, relocated(standard), Release::OldSchool},
    };
    for (const auto& [old, now, release] : cases) {
        const std::size_t changed = test::changedOffsets(old.bytes(), now.bytes()).size();
        EXPECT_EQ(summarize(gameChangesBetween(old.bytes(), now.bytes(), release, defaultNames())),
                  std::to_string(changed) + " other bytes");
    }
}

}  // namespace
}  // namespace slamwise
