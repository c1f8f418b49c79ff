#include "cli/TableInput.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <nlohmann/json.hpp>

#include "cli/CommandSupport.h"
#include "cli/Csv.h"
#include "game/Names.h"
#include "storage/FileIo.h"

namespace slamwise::cli {

namespace {

// A cell without the blanks around it.
std::string cellText(std::string_view text) {
    return std::string(trimmed(text, " \t"));
}

// The same, the blanks taken off the text itself.
void trimCell(std::string& text) {
    const std::size_t last = text.find_last_not_of(" \t");
    text.erase(last == std::string::npos ? 0 : last + 1);
    text.erase(0, text.find_first_not_of(" \t"));
}

// What a byte of a JSON text is to the search of the array's elements below (Value and Blank,
// the most common, first: they are passed over with one comparison).
enum class JsonByte : std::uint8_t { Value, Blank, LineFeed, Quote, Backslash, Open, Close, Comma };

constexpr std::array<JsonByte, 256> kJsonBytes = [] {
    std::array<JsonByte, 256> bytes{};
    bytes[' '] = bytes['\t'] = bytes['\r'] = JsonByte::Blank;
    bytes['\n'] = JsonByte::LineFeed;
    bytes['"'] = JsonByte::Quote;
    bytes['\\'] = JsonByte::Backslash;
    bytes['['] = bytes['{'] = JsonByte::Open;
    bytes[']'] = bytes['}'] = JsonByte::Close;
    bytes[','] = JsonByte::Comma;
    return bytes;
}();

// The line on which each element of the top-level JSON array starts. Each byte is looked up
// once in a table: the texts run to tens of kilobytes.
std::vector<int> arrayElementLines(std::string_view text) {
    std::vector<int> lines;
    int line = 1;
    int depth = 0;
    bool expectElement = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const JsonByte byte = kJsonBytes[static_cast<unsigned char>(text[i])];
        if (byte <= JsonByte::Blank && !expectElement) {  // most bytes: nothing to note
            continue;
        }
        if (byte == JsonByte::LineFeed) {
            ++line;
            continue;
        }
        if (byte == JsonByte::Blank) {
            continue;
        }
        if (depth == 1 && expectElement) {
            lines.push_back(line);
            expectElement = false;
        }
        if (byte == JsonByte::Quote) {  // a string, to its closing quote (line feeds counted)
            for (++i; i < text.size(); ++i) {
                const JsonByte inside = kJsonBytes[static_cast<unsigned char>(text[i])];
                if (inside <= JsonByte::Blank) {  // a value or a blank
                    continue;
                }
                if (inside == JsonByte::Quote) {
                    break;
                }
                line += inside == JsonByte::LineFeed ? 1 : 0;
                i += inside == JsonByte::Backslash ? 1 : 0;  // the escaped byte is skipped
            }
        } else if (byte == JsonByte::Open) {
            ++depth;
            expectElement = depth == 1;
        } else if (byte == JsonByte::Close) {
            --depth;
        } else if (byte == JsonByte::Comma && depth == 1) {
            expectElement = true;
        }
    }
    return lines;
}

// Checks the column names of one record (or of the header row); true when they are sound.
bool checkColumns(const std::vector<std::string>& present, const ColumnSet& columns, int line,
                  InputTable& table) {
    std::vector<std::string>& problems = table.problems;
    const std::size_t before = problems.size();
    std::vector<bool> seen(columns.known.size());  // by place in columns.known
    auto placeOf = [&](const std::string& name) {
        return static_cast<std::size_t>(
            std::find(columns.known.begin(), columns.known.end(), name) - columns.known.begin());
    };
    for (const std::string& name : present) {
        const std::size_t place = placeOf(name);
        if (place == seen.size()) {
            problems.push_back(table.where(line) + "unknown column " + shown(name));
        } else if (seen[place]) {
            problems.push_back(table.where(line) + "column " + shown(name) + " appears twice");
        } else {
            seen[place] = true;
        }
    }
    for (const std::string& name : columns.required) {
        const std::size_t place = placeOf(name);
        if (place == seen.size() || !seen[place]) {
            problems.push_back(table.where(line) + "missing column \"" + name + "\"");
        }
    }
    return problems.size() == before;
}

void readCsv(std::string_view text, const ColumnSet& columns, InputTable& table) {
    table.separator = csvSeparator(text);
    CsvText csv = parseCsv(text, table.separator);
    std::vector<std::string> header;
    const int headerLine = csv.rows.empty() ? 1 : csv.rows.front().line;
    if (!csv.rows.empty()) {
        for (const std::string& name : csv.rows.front().fields) {
            header.push_back(cellText(name));
        }
    }
    for (const CsvError& error : csv.errors) {
        const std::string column = error.line > headerLine && error.field < header.size()
                                       ? "column \"" + header[error.field] + "\": "
                                       : "field " + std::to_string(error.field + 1) + ": ";
        table.problems.push_back(table.where(error.line) + column + error.what);
    }
    if (csv.rows.empty()) {
        if (csv.errors.empty()) {
            table.problems.push_back(table.where(1) + "the file has no header row");
        }
        return;
    }
    if (!std::all_of(header.begin(), header.end(), [](const auto& name) { return isUtf8(name); })) {
        table.problems.push_back(table.where(headerLine) + "the header row is not UTF-8 text");
        return;
    }
    if (!checkColumns(header, columns, headerLine, table)) {
        return;  // without a sound header no row can be read
    }
    const bool utf8Text = isUtf8(text);  // then every cell is: cells end at 7-bit bytes
    for (std::size_t r = 1; r < csv.rows.size(); ++r) {
        CsvRow& row = csv.rows[r];
        if (row.fields.size() != header.size()) {
            const bool few = row.fields.size() < header.size();
            table.problems.push_back(
                table.where(row.line) + std::to_string(row.fields.size()) +
                " cells, the header has " + std::to_string(header.size()) +
                (few ? ": no cell for \"" + header[row.fields.size()] + "\""
                     : ": a cell beyond the last column \"" + header.back() + "\""));
            continue;
        }
        InputRecord record{row.line, {}};
        record.cells.reserve(header.size());
        bool utf8 = true;
        for (std::size_t c = 0; c < header.size(); ++c) {
            if (!utf8Text && !isUtf8(row.fields[c])) {
                utf8 = false;
                table.problems.push_back(table.where(row.line) + "column \"" + header[c] +
                                         "\" holds text that is not UTF-8");
            }
            trimCell(row.fields[c]);
            record.cells.emplace_back(header[c], std::move(row.fields[c]));  // each column once
        }
        if (utf8) {
            table.records.push_back(std::move(record));
        }
    }
}

// Takes a JSON text apart as it is read: an array of flat objects whose values are numbers, texts
// or null. Anything else stops the reading with a problem, so nesting never goes deep.
class JsonRecords : public nlohmann::json::json_sax_t {
  public:
    JsonRecords(std::string_view text, const ColumnSet& columns, InputTable& table)
        : text_(text), lines_(arrayElementLines(text)), columns_(columns), table_(table) {}

    bool null() override { return value(""); }
    bool boolean(bool on) override { return value(on ? "true" : "false"); }
    bool number_integer(number_integer_t number) override { return value(std::to_string(number)); }
    bool number_unsigned(number_unsigned_t number) override {
        return value(std::to_string(number));
    }
    bool number_float(number_float_t, const string_t& text) override { return value(text); }
    bool string(string_t& text) override { return value(cellText(text)); }
    bool binary(binary_t&) override { return stop(line(), "expected numbers and texts"); }

    bool start_array(std::size_t) override {
        if (depth_ > 0) {
            return depth_ == 1 ? stop(line(), "expected a JSON object")
                               : stop(record_.line, "\"" + key_ + "\" must be a number or a text");
        }
        ++depth_;
        return true;
    }
    bool end_array() override {
        --depth_;
        return true;
    }
    bool start_object(std::size_t) override {
        if (depth_ == 0) {
            return stop(1, "expected a JSON array of objects");
        }
        if (depth_ > 1) {
            return stop(record_.line, "\"" + key_ + "\" must be a number or a text");
        }
        ++depth_;
        record_ = {line(), {}};
        keys_.clear();
        return true;
    }
    bool key(string_t& name) override {
        key_ = name;
        keys_.push_back(name);
        return true;
    }
    bool end_object() override {
        --depth_;
        ++element_;
        if (checkColumns(keys_, columns_, record_.line, table_)) {
            table_.records.push_back(std::move(record_));
        }
        return true;
    }
    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception&) override {
        const std::string_view upTo = text_.substr(0, std::min(position, text_.size()));
        return stop(1 + static_cast<int>(std::count(upTo.begin(), upTo.end(), '\n')),
                    "not well-formed JSON");
    }

  private:
    // Where the element being read starts.
    int line() const { return element_ < lines_.size() ? lines_[element_] : 1; }
    bool value(std::string text) {
        if (depth_ == 0) {
            return stop(1, "expected a JSON array of objects");
        }
        if (depth_ == 1) {
            return stop(line(), "expected a JSON object");
        }
        record_.set(key_, std::move(text));
        return true;
    }
    bool stop(int line, const std::string& what) {
        table_.problems.push_back(table_.where(line) + what);
        return false;
    }

    std::string_view text_;
    std::vector<int> lines_;
    const ColumnSet& columns_;
    InputTable& table_;
    int depth_ = 0;
    std::size_t element_ = 0;  // elements of the array read so far
    InputRecord record_;
    std::string key_;
    std::vector<std::string> keys_;
};

}  // namespace

TableFormat formatOf(std::string_view text) {
    text = withoutByteOrderMark(text);
    std::size_t first = text.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && (text[first] == '[' || text[first] == '{')
               ? TableFormat::Json
               : TableFormat::Csv;
}

InputTable parseTable(std::string_view text, TableFormat format, const std::string& name,
                      const ColumnSet& columns) {
    InputTable table{name, {}, {}};
    text = withoutByteOrderMark(text);
    if (format == TableFormat::Csv) {
        readCsv(text, columns, table);
    } else {
        JsonRecords records(text, columns, table);
        nlohmann::json::sax_parse(text.begin(), text.end(), &records);
    }
    return table;
}

InputTable readTable(const std::string& path, const ColumnSet& columns) {
    constexpr std::size_t kLargestTable = 64u << 20;  // far more than any table of the game
    Result<std::vector<std::uint8_t>> bytes = readWholeFile(path, kLargestTable);
    if (!bytes) {
        return {path, {}, {"Cannot read " + quoted(path) + ": " + bytes.error() + "."}, true};
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    return parseTable(text, formatOf(text), path, columns);
}

}  // namespace slamwise::cli
