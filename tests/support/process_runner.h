#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace melodeck::test {

// What one run of a child process gave.
struct ProcessRun {
    int exitCode = -1;  // The exit status, or 128 + the signal that ended it.
    std::string out;    // Everything it wrote to standard output.
    std::string err;    // Everything it wrote to standard error.
};

// Changes to the environment: a value sets the variable, nullopt removes it.
using EnvChanges = std::map<std::string, std::optional<std::string>>;

// Starts the program at the path `argv[0]` with the arguments `argv` (argv[0] included) in
// this process's environment changed by `env`, with empty standard input, waits for it to end
// and collects its output. When it cannot be started, exitCode stays -1 and err says so.
// REQUIRES: argv is not empty.
ProcessRun runProcess(const std::vector<std::string>& argv, const EnvChanges& env = {});

}  // namespace melodeck::test
