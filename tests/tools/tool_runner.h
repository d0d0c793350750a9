#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/process_runner.h"

namespace melodeck::testing {

// What one run of melodeck-tool gave.
using ToolResult = test::ProcessRun;

// Runs the built melodeck-tool with `args` and collects its exit status and output.
ToolResult runTool(const std::vector<std::string>& args);

// A folder of its own under the system's temporary folder, removed with its files at the
// end of the object's life.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return m_path; }
    // Writes `bytes` to the file `name` in the folder and returns its path.
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

private:
    std::string m_path;
};

}  // namespace melodeck::testing
