#include "builtin_resources.h"

#include "embedded_resources.h"

namespace melodeck {

ResourceStatus BuiltinResources::rawData(int id, std::vector<std::uint8_t>& data) const {
    for (const EmbeddedResource& resource : embeddedResources()) {
        if (resource.id == id) {
            data.assign(resource.data.begin(), resource.data.end());
            return ResourceStatus::Found;
        }
    }
    return ResourceStatus::NotFound;
}

}  // namespace melodeck
