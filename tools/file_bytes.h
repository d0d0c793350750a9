#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace melodeck::tool {

// Reads the whole file at `path`. On failure (missing, a directory, unreadable, larger
// than 256 MiB) returns nullopt and puts a sentence saying why into `error`.
std::optional<std::vector<std::uint8_t>> loadFileBytes(const std::string& path,
                                                       std::string& error);

}  // namespace melodeck::tool
