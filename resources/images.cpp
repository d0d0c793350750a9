#include "images.h"

#include <QtCore/qglobal.h>

// The resource file is compiled into this static library; naming its initialiser here keeps
// the linker from dropping it. It must be called outside any namespace.
static void initImageResources() { Q_INIT_RESOURCE(images); }

namespace melodeck {

void registerImageResources() { initImageResources(); }

std::string toolbarImagePath(std::string_view name) {
    std::string path = ":/toolbar/";
    path += name;
    path += ".png";
    return path;
}

}  // namespace melodeck
