#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/ImageBuilder.h"
#include "tools/Cli.h"

namespace slamwise::test {

// One in-process run of the slamwise tool with its captured output.
struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
};

inline CliRun runCli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.code = cli::run(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

inline void writeText(const std::string& path, const std::string& text) {
    writeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

inline std::string readText(const std::string& path) {
    std::vector<std::uint8_t> bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace slamwise::test
