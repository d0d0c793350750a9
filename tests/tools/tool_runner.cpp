#include "tool_runner.h"

#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace melodeck::testing {

ToolResult runTool(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {MELODECK_TOOL_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    return test::runProcess(argv);
}

ScratchDir::ScratchDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "melodeck-tool-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string ScratchDir::write(const std::string& name,
                              const std::vector<std::uint8_t>& bytes) const {
    const std::string path = m_path + "/" + name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path;
}

}  // namespace melodeck::testing
