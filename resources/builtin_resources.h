#pragma once

#include <cstdint>
#include <vector>

#include "resource_source.h"

namespace melodeck {

// Raw data resource ids the program carries itself.
enum class BuiltinResourceId : int {
    CharTableCyrillic = 200,         // Windows-1251, bytes 0xA8..0xFF
    CharTableCentralEuropean = 202,  // Windows-1250, bytes 0x80..0xFF
    CharTableBaltic = 203,           // Windows-1257, bytes 0x80..0xFF
    CharTableGreek = 204,            // Windows-1253, bytes 0x80..0xFF
};

// The program's own resource module: the character tables compiled into the binary.
// Each table is byte F, byte L, then (L - F + 1) 16-bit little-endian characters for
// the byte values F..L. Holds no state; any number of instances may exist, and one may
// be used from several threads at once.
class BuiltinResources final : public ResourceSource {
public:
    // Found with the resource's bytes in `data` (replacing what it held) for the ids
    // above; NotFound, with `data` untouched, for every other id.
    ResourceStatus rawData(int id, std::vector<std::uint8_t>& data) const override;
};

}  // namespace melodeck
