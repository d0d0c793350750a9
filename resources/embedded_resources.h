#pragma once

#include <cstdint>
#include <span>

namespace melodeck {

// One raw data resource compiled into the program.
struct EmbeddedResource {
    int id;
    std::span<const std::uint8_t> data;
};

// Every raw data resource compiled into the program, in no particular order. The bytes
// are constants with static storage: the spans stay valid for the whole run. The
// definition is generated at build time from the files under resources/.
std::span<const EmbeddedResource> embeddedResources();

}  // namespace melodeck
