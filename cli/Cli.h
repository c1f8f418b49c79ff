#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace slamwise::cli {

// Runs one command line of the slamwise tool (the arguments without the program name), writing
// to out and err instead of the process's streams. Returns the exit code: 0 success, 1 invalid
// input (the image or an input file cannot be used; nothing was written), 2 usage.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace slamwise::cli
