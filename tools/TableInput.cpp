#include "tools/TableInput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "tools/Csv.h"

namespace slamwise::cli {

namespace {

bool contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

std::string trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The line on which each element of the top-level JSON array starts.
std::vector<int> arrayElementLines(const std::string& text) {
    std::vector<int> lines;
    int line = 1;
    int depth = 0;
    bool inString = false;
    bool expectElement = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\n') {
            ++line;
        }
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            continue;
        }
        if (depth == 1 && expectElement) {
            lines.push_back(line);
            expectElement = false;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            ++depth;
            if (depth == 1) {
                expectElement = true;
            }
        } else if (c == ']' || c == '}') {
            --depth;
        } else if (c == ',' && depth == 1) {
            expectElement = true;
        }
    }
    return lines;
}

void checkColumns(const std::vector<std::string>& present, const ColumnSet& columns,
                  const std::string& where, std::vector<std::string>& problems) {
    std::set<std::string> seen;
    for (const std::string& name : present) {
        if (!contains(columns.known, name)) {
            problems.push_back(where + "unknown column \"" + name + "\"");
        } else if (!seen.insert(name).second) {
            problems.push_back(where + "column \"" + name + "\" appears twice");
        }
    }
    for (const std::string& name : columns.required) {
        if (!seen.contains(name)) {
            problems.push_back(where + "missing column \"" + name + "\"");
        }
    }
}

void readCsv(const std::string& path, const std::string& text, const ColumnSet& columns,
             InputTable& table) {
    CsvText csv = parseCsv(text);
    for (const std::string& error : csv.errors) {
        table.problems.push_back(path + ":" + error.substr(std::strlen("line ")));
    }
    if (csv.rows.empty()) {
        if (csv.errors.empty()) {
            table.problems.push_back(path + ":1: the file has no header row");
        }
        return;
    }
    std::vector<std::string> header;
    for (const std::string& name : csv.rows.front().fields) {
        header.push_back(trimmed(name));
    }
    std::size_t problemsBefore = table.problems.size();
    checkColumns(header, columns, path + ":" + std::to_string(csv.rows.front().line) + ": ",
                 table.problems);
    if (table.problems.size() != problemsBefore) {
        return;  // without a sound header no row can be read
    }
    for (std::size_t r = 1; r < csv.rows.size(); ++r) {
        const CsvRow& row = csv.rows[r];
        if (row.fields.size() != header.size()) {
            table.problems.push_back(path + ":" + std::to_string(row.line) + ": " +
                                     std::to_string(row.fields.size()) +
                                     " fields, the header has " + std::to_string(header.size()));
            continue;
        }
        InputRecord record{row.line, {}};
        for (std::size_t c = 0; c < header.size(); ++c) {
            std::string value = trimmed(row.fields[c]);
            if (!value.empty()) {
                record.cells[header[c]] = value;
            }
        }
        table.records.push_back(std::move(record));
    }
}

void readJson(const std::string& path, const std::string& text, const ColumnSet& columns,
              InputTable& table) {
    nlohmann::json document;
    try {
        document = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& error) {
        // Tell the line of the byte where the parser stopped.
        std::size_t upTo = std::min(error.byte, text.size());
        int line = 1 + static_cast<int>(
                           std::count(text.begin(), text.begin() + static_cast<long>(upTo), '\n'));
        table.problems.push_back(path + ":" + std::to_string(line) + ": not well-formed JSON");
        return;
    }
    if (!document.is_array()) {
        table.problems.push_back(path + ":1: expected a JSON array of records");
        return;
    }
    std::vector<int> lines = arrayElementLines(text);
    for (std::size_t r = 0; r < document.size(); ++r) {
        int line = r < lines.size() ? lines[r] : 1;
        std::string where = path + ":" + std::to_string(line) + ": ";
        const nlohmann::json& element = document[r];
        if (!element.is_object()) {
            table.problems.push_back(where + "expected a JSON object");
            continue;
        }
        std::vector<std::string> keys;
        for (const auto& item : element.items()) {
            keys.push_back(item.key());
        }
        std::size_t problemsBefore = table.problems.size();
        checkColumns(keys, columns, where, table.problems);
        InputRecord record{line, {}};
        for (const auto& item : element.items()) {
            const nlohmann::json& value = item.value();
            if (value.is_null()) {
                continue;
            }
            if (value.is_string()) {
                std::string text = trimmed(value.get<std::string>());
                if (!text.empty()) {
                    record.cells[item.key()] = text;
                }
            } else if (value.is_number() || value.is_boolean()) {
                record.cells[item.key()] = value.dump();
            } else {
                table.problems.push_back(where + "\"" + item.key() +
                                         "\" must be a number or a text");
            }
        }
        if (table.problems.size() == problemsBefore) {
            table.records.push_back(std::move(record));
        }
    }
}

}  // namespace

InputTable readTable(const std::string& path, const ColumnSet& columns) {
    InputTable table;
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        table.problems.push_back("\"" + path + "\" is a folder, not a file.");
        return table;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buffer;
    if (in) {
        buffer << in.rdbuf();
    }
    if (!in || in.bad()) {
        table.problems.push_back("Cannot read \"" + path + "\": " + std::strerror(errno) + ".");
        return table;
    }
    std::string text = buffer.str();
    std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first != std::string::npos && (text[first] == '[' || text[first] == '{')) {
        readJson(path, text, columns, table);
    } else {
        readCsv(path, text, columns, table);
    }
    return table;
}

}  // namespace slamwise::cli
