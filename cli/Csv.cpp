#include "cli/Csv.h"

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

// A quoted field from its opening quote at text[i] to the next lone quote, line breaks
// included; i moves past it and line counts the breaks. False when no quote closes it.
bool readQuoted(std::string_view text, std::size_t& i, int& line, std::string& field) {
    ++i;
    while (i < text.size()) {
        const char c = text[i++];
        if (c != '"') {
            line += c == '\n' ? 1 : 0;
            field += c;
        } else if (i < text.size() && text[i] == '"') {
            field += '"';
            ++i;
        } else {
            return true;
        }
    }
    return false;
}

}  // namespace

CsvText parseCsv(std::string_view text, char separator) {
    CsvText result;
    int line = 1;
    std::size_t i = 0;
    while (i < text.size()) {
        CsvRow row;
        row.line = line;
        std::string field;
        bool rowDone = false;
        bool broken = false;
        std::size_t brokenField = 0;
        while (!rowDone) {
            field.clear();
            if (i < text.size() && text[i] == '"') {
                const int openedOn = line;
                if (!readQuoted(text, i, line, field)) {
                    result.errors.push_back(
                        {openedOn, row.fields.size(), "a quoted field is not closed"});
                    return result;
                }
                if (i < text.size() && text[i] != separator && text[i] != '\n' && text[i] != '\r' &&
                    !broken) {
                    broken = true;
                    brokenField = row.fields.size();
                }
            }
            // The unquoted part (or what follows a closing quote) runs to a separator or line end.
            while (i < text.size() && text[i] != separator && text[i] != '\n' &&
                   !(text[i] == '\r' && (i + 1 == text.size() || text[i + 1] == '\n'))) {
                field += text[i++];
            }
            row.fields.push_back(field);
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
