#include "cli/Csv.h"

#include <algorithm>

namespace slamwise::cli {

char csvSeparator(std::string_view text) {
    bool quoted = false;
    bool blank = true;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            blank = false;
        } else if (quoted) {
            continue;
        } else if (c == ',' || c == ';' || c == '\t') {
            if (c != '\t' || !blank) {
                return c;
            }
        } else if (c == '\n') {
            if (!blank) {
                break;
            }
        } else if (c != ' ' && c != '\r') {
            blank = false;
        }
    }
    return ',';
}

namespace {

// The number of line feeds in a piece of text.
int lineBreaks(std::string_view text) {
    int count = 0;
    for (std::size_t at = text.find('\n'); at != std::string_view::npos;
         at = text.find('\n', at + 1)) {
        ++count;
    }
    return count;
}

// A quoted field from its opening quote at text[i] to the next lone quote, line breaks
// included; i moves past it and line counts the breaks. False when no quote closes it.
bool readQuoted(std::string_view text, std::size_t& i, int& line, std::string& field) {
    ++i;
    while (i < text.size()) {
        std::size_t quote = text.find('"', i);
        const std::string_view piece = text.substr(i, quote - i);  // to the end without one
        line += lineBreaks(piece);
        field += piece;
        if (quote == std::string_view::npos) {
            i = text.size();
            return false;
        }
        i = quote + 1;
        if (i < text.size() && text[i] == '"') {
            field += '"';
            ++i;
        } else {
            return true;
        }
    }
    return false;
}

// Where the unquoted part of a field that starts at i ends: at the next separator or line end
// (LF, CRLF, or a CR that ends the text). lineEnd keeps the next line feed (or the end of the
// text) between calls, so each line is searched once; npos at first.
std::size_t unquotedEnd(std::string_view text, std::size_t i, char separator,
                        std::size_t& lineEnd) {
    if (lineEnd == std::string_view::npos || lineEnd < i) {
        lineEnd = std::min(text.find('\n', i), text.size());
    }
    const std::size_t found = text.substr(0, lineEnd).find(separator, i);
    if (found != std::string_view::npos) {
        return found;
    }
    return lineEnd > i && text[lineEnd - 1] == '\r' ? lineEnd - 1 : lineEnd;
}

}  // namespace

CsvText parseCsv(std::string_view text, char separator) {
    CsvText result;
    int line = 1;
    std::size_t i = 0;
    std::size_t lineEnd = std::string_view::npos;
    while (i < text.size()) {
        CsvRow row;
        row.line = line;
        row.fields.reserve(result.rows.empty() ? 0 : result.rows.front().fields.size());
        bool rowDone = false;
        bool broken = false;
        std::size_t brokenField = 0;
        while (!rowDone) {
            const std::size_t index = row.fields.size();
            std::string& field = row.fields.emplace_back();
            if (i < text.size() && text[i] == '"') {
                const int openedOn = line;
                if (!readQuoted(text, i, line, field)) {
                    result.errors.push_back({openedOn, index, "a quoted field is not closed"});
                    return result;
                }
                if (i < text.size() && text[i] != separator && text[i] != '\n' && text[i] != '\r' &&
                    !broken) {
                    broken = true;
                    brokenField = index;
                }
            }
            // The unquoted part (or what follows a closing quote) runs to a separator or line end.
            const std::size_t end = unquotedEnd(text, i, separator, lineEnd);
            field += text.substr(i, end - i);
            i = end;
            if (i < text.size() && text[i] == separator) {
                ++i;
                continue;
            }
            if (i < text.size() && text[i] == '\r') {
                ++i;
            }
            if (i < text.size() && text[i] == '\n') {
                ++i;
            }
            ++line;
            rowDone = true;
        }
        if (broken) {
            result.errors.push_back({row.line, brokenField, "text follows a closing quote"});
            continue;
        }
        bool blank =
            row.fields.size() == 1 && row.fields[0].find_first_not_of(" \t") == std::string::npos;
        if (!blank) {
            result.rows.push_back(std::move(row));
        }
    }
    return result;
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos && !text.starts_with(' ') &&
        !text.ends_with(' ')) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string csvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i != 0) {
            line += ',';
        }
        line += csvField(fields[i]);
    }
    return line + "\n";
}

}  // namespace slamwise::cli
