#pragma once

#include <string>
#include <string_view>

// Small text helpers shared by every floor: file names in messages, and the lines and cells of
// the text files the program reads.
namespace slamwise {

// "text" in double quotes, as file names appear in messages.
inline std::string quoted(const std::string& text) {
    std::string result;
    result.reserve(text.size() + 2);
    result += '"';
    result += text;
    result += '"';
    return result;
}

// The text without the blanks (by default spaces, tabs and carriage returns) around it.
inline std::string_view trimmed(std::string_view text, std::string_view blanks = " \t\r") {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The text without the UTF-8 byte-order mark that some editors put in front of a file.
inline std::string_view withoutByteOrderMark(std::string_view text) {
    return text.starts_with(kByteOrderMark) ? text.substr(kByteOrderMark.size()) : text;
}

inline bool endsWith(std::string_view text, std::string_view ending) {
    return text.ends_with(ending);
}

}  // namespace slamwise
