#pragma once

#include <ostream>
#include <string>
#include <variant>
#include <vector>

namespace slamwise::cli {

enum class TableFormat { Csv, Json };

// One exported value: nothing (an empty cell, null in JSON), a number or a text.
using Cell = std::variant<std::monostate, long, std::string>;

// CSV: a header row naming the columns, then one line per row. JSON: an array with one object
// per row, one row a line, keys in column order. Both end with a line feed and diff well.
void writeTable(std::ostream& out, TableFormat format, const std::vector<std::string>& columns,
                const std::vector<std::vector<Cell>>& rows);

}  // namespace slamwise::cli
