// slamwise: the command-line tool over the editor's core.

#include <iostream>

#include "cli/Cli.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return slamwise::cli::run(args, std::cout, std::cerr);
}
