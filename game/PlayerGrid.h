#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/ActualTable.h"
#include "game/Names.h"
#include "game/PlayerEdit.h"
#include "game/VisualTable.h"
#include "storage/Result.h"
#include "storage/RomFile.h"

namespace slamwise {

// The whole player table as one grid of cells, one row per player: the number, the name, the
// eight playing ratings, the AI setting, height and skin, then the eight ratings of the displayed
// copy. The league window shows it; the values the user gives wait here, checked, until they
// are applied as one savePlayers action.

enum class GridColumnKind { Number, Name, Rating, Ai, Height, Skin, Shown };
struct GridColumn {
    GridColumnKind kind;
    Rating rating = Rating::Speed;  // for Rating and Shown
    std::string_view title;
};
inline constexpr int kPlayerGridColumns = 21;
GridColumn gridColumn(int column);

// The captions of the player form, by Height and by Skin.
inline constexpr std::array<std::string_view, 2> kHeightCaptions = {"Normal", "Small"};
inline constexpr std::array<std::string_view, 3> kSkinCaptions = {"Black", "Black (Unused?)",
                                                                  "White"};

// The values a column takes, as numbers: a rating 0-10, a slider position 0-16, the index of a
// Height or a Skin. Empty for the number and the name.
struct CellRange {
    int lowest = 0;
    int highest = -1;
};
CellRange cellRange(int column);
// The text of a value of the column: the number, or the caption of a height or skin.
std::string cellText(int column, int value);

// A value typed or pasted into a cell of the column: a number for the ratings and the AI setting
// (checked as a save checks it), a caption or export name for height and skin (any case).
struct CellInput {
    std::optional<int> value;
    std::string problem;  // when there is no value: "is not a rating from 0 to 10"
};
CellInput readCell(int column, std::string_view text);

// "Apply to 12 Players", "Apply to 1 Player".
std::string applyLabel(int count, std::string_view singular, std::string_view plural);

class PlayerGrid {
  public:
    // The actual table and the visual table of the layout, each in one read.
    static Result<PlayerGrid> read(const RomFile& rom, VisualLayout layout);
    // The bytes as they are now (after a write made elsewhere); the unapplied values stay.
    void take(PlayerGrid fresh);

    // The value the file holds; empty where the stored value has no meaning (or no record).
    std::optional<int> stored(int player, int column) const;
    // What the cell shows: the user's value, else the stored one (raw where it has no meaning).
    std::string text(int player, int column, const GameNames& names) const;
    // The user's value or the stored one; a displayed rating follows its playing rating, as a
    // save writes it.
    std::optional<int> value(int player, int column) const;
    bool editable(int player, int column) const;
    bool changed(int player, int column) const;
    bool changed(int player) const { return pending_.count(player) != 0; }

    // Takes the user's value for the cell; false (nothing taken) for a cell that cannot be
    // edited or a value the column does not take. The stored value takes the change back.
    bool set(int player, int column, int value);
    int changedPlayers() const { return static_cast<int>(pending_.size()); }
    // The changed players' fields, in player order, for one savePlayers action.
    std::vector<PlayerEdit> edits() const;
    void revert() { pending_.clear(); }

  private:
    const PlayerEdit* pending(int player) const;

    VisualLayout layout_ = VisualLayout::Standard;
    std::vector<PlayerRecord> records_;
    std::vector<VisualRatings> visual_;
    std::map<int, PlayerEdit> pending_;
};

}  // namespace slamwise
