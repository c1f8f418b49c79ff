#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/TableOutput.h"

namespace slamwise::cli {

// One record of an import file: its cells by column name, blanks around them removed. An empty
// cell and a JSON null are both the empty text.
struct InputRecord {
    int line = 0;  // where the record starts in the file, from 1
    // (column, text), each column once, in the order of the file: a record has a few dozen
    // cells at most, so a search costs less than building a map of them.
    std::vector<std::pair<std::string, std::string>> cells;

    const std::string* cell(std::string_view column) const {
        std::size_t from = 0;
        return cell(column, from);
    }
    // The same, the search starting at cell `from` and going round; `from` becomes the place
    // after the cell found. Columns asked for in the order of the file take one comparison each.
    const std::string* cell(std::string_view column, std::size_t& from) const {
        for (std::size_t k = 0, at = from; k < cells.size(); ++k, ++at) {
            at = at < cells.size() ? at : 0;
            if (cells[at].first == column) {
                from = at + 1;
                return &cells[at].second;
            }
        }
        return nullptr;
    }
    // Gives the column this text, the last one given holding.
    void set(std::string_view column, std::string text) {
        for (auto& [name, held] : cells) {
            if (name == column) {
                held = std::move(text);
                return;
            }
        }
        cells.emplace_back(column, std::move(text));
    }
};

struct InputTable {
    std::string name;  // the file, as messages name it
    std::vector<InputRecord> records;
    std::vector<std::string> problems;  // "<file>:<line>: ..." each
    char separator = ',';               // between the fields of a CSV file: ',', ';' or a tab
    bool unreadable = false;            // the file could not be read: problems says why

    // "<file>:<line>: "
    std::string where(int line) const { return name + ":" + std::to_string(line) + ": "; }
};

struct ColumnSet {
    std::vector<std::string> known;     // every column a record may have
    std::vector<std::string> required;  // columns every record must have
};

// The format of an import file: JSON when it starts with '[' or '{' (a byte-order mark and
// blanks aside), otherwise CSV.
TableFormat formatOf(std::string_view text);

// Reads the text of an import file. CSV has a header row, whose separator (',', ';' or a tab)
// holds for the whole file; JSON is an array of objects whose values are numbers, texts or null;
// columns in any order. Unknown, repeated and missing columns, rows
// with too few or too many cells, text that is not well-formed or not UTF-8 are problems; the
// records that could be read are returned beside them.
InputTable parseTable(std::string_view text, TableFormat format, const std::string& name,
                      const ColumnSet& columns);

// The same for the file at path, in the format its text has.
InputTable readTable(const std::string& path, const ColumnSet& columns);

}  // namespace slamwise::cli
