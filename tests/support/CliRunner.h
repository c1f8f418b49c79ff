#pragma once

#include <regex>
#include <sstream>

#include "tests/support/ImageBuilder.h"
#include "cli/Cli.h"

namespace slamwise::test {

// One in-process run of the slamwise tool with its captured output.
struct CliRun {
    int code = -1;
    std::string out, err;
};

// "IMAGE" and "FILE" in the text stand for the two paths.
inline std::string substituted(const std::string& text, const std::string& image,
                               const std::string& file = "") {
    return std::regex_replace(std::regex_replace(text, std::regex("IMAGE"), image),
                              std::regex("FILE"), file);
}

inline CliRun runCli(std::vector<std::string> args, const std::string& image = "",
                     const std::string& file = "") {
    for (std::string& arg : args) {
        arg = substituted(arg, image, file);
    }
    std::ostringstream out, err;
    return {cli::run(args, out, err), out.str(), err.str()};  // evaluated left to right
}

inline void writeText(const std::string& path, const std::string& text) {
    writeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace slamwise::test
