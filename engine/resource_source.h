#pragma once

#include <cstdint>
#include <vector>

namespace melodeck {

enum class ResourceStatus {
    Found,
    NotFound,    // no such resource in the module
    LoadFailed,  // the resource exists but its data cannot be had
};

// The current resource module: the program's own resources, or those of a loaded
// interface-language library. Only raw data resources are asked for here.
class ResourceSource {
public:
    virtual ~ResourceSource() = default;

    // Fills `data` with the bytes of raw data resource `id` when the status is Found.
    virtual ResourceStatus rawData(int id, std::vector<std::uint8_t>& data) const = 0;
};

}  // namespace melodeck
