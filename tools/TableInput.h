#pragma once

#include <map>
#include <string>
#include <vector>

namespace slamwise::cli {

// One record of an import file: the cells it gives, by column name. Empty cells (and JSON
// nulls) are left out: they give nothing.
struct InputRecord {
    int line = 0;  // where the record starts in the file, from 1
    std::map<std::string, std::string> cells;

    const std::string* cell(const std::string& column) const {
        auto found = cells.find(column);
        return found == cells.end() ? nullptr : &found->second;
    }
};

struct InputTable {
    std::vector<InputRecord> records;
    std::vector<std::string> problems;  // "<file>:<line>: ..." each
};

struct ColumnSet {
    std::vector<std::string> known;     // every column a record may have
    std::vector<std::string> required;  // columns every record must have
};

// Reads an import file: JSON (an array of objects) when it starts with '[' or '{' (blanks aside),
// otherwise CSV with a header row. Columns in any order. Unknown and missing columns, text that
// is not well-formed and a file that cannot be read are problems; the records that could be read
// are returned beside them.
InputTable readTable(const std::string& path, const ColumnSet& columns);

}  // namespace slamwise::cli
