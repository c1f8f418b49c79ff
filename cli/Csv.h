#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace slamwise::cli {

// Comma-separated text as spreadsheets write it: fields separated by commas (or, as many
// locales save it, by semicolons or tabs), a field that holds the separator, a quote or a line
// break is put in double quotes with its quotes doubled. Lines end with LF or CRLF.

struct CsvRow {
    int line = 0;  // line of the file on which the row starts, from 1
    std::vector<std::string> fields;
};

// Text that is not well-formed: where (line, and field of the row from 0) and what.
struct CsvError {
    int line = 0;
    std::size_t field = 0;
    std::string what;
    bool operator==(const CsvError&) const = default;
};

struct CsvText {
    std::vector<CsvRow> rows;  // every non-empty row, the header row first
    std::vector<CsvError> errors;
};

// The separator of a text: the first ',', ';' or tab outside quotes on its first non-blank row
// (the header row); ',' when that row has none of them.
char csvSeparator(std::string_view text);

CsvText parseCsv(std::string_view text, char separator = ',');

// One field as it is written: quoted only when it has to be.
std::string csvField(std::string_view text);
// One row, fields joined with commas, ending with a line feed.
std::string csvLine(const std::vector<std::string>& fields);

}  // namespace slamwise::cli
