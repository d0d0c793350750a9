#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/process_runner.h"

namespace melodeck::test {

// What one run of the melodeck executable gave.
using AppRun = ProcessRun;

// Runs the built melodeck with `args` in this process's environment changed by `env`: a
// value sets the variable, nullopt removes it. Standard input is empty.
AppRun runApp(const std::vector<std::string>& args,
              const std::map<std::string, std::optional<std::string>>& env);

}  // namespace melodeck::test
