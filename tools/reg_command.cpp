// melodeck-tool reg export [--hive NAME]: the settings store as the text of a .reg file.

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "args.h"
#include "commands.h"
#include "reg_export.h"
#include "sqlite_registry.h"

namespace melodeck::tool {

int runReg(const Args& args) {
    if (!args.check(1, {"hive"}) || args.positional(0) != "export") {
        args.complain(
            "usage: reg export [--hive HKEY_CURRENT_USER|HKEY_CLASSES_ROOT|"
            "HKEY_LOCAL_MACHINE]");
        return 1;
    }
    std::vector<Hive> hives(std::begin(kAllHives), std::end(kAllHives));
    if (std::optional<std::string_view> name = args.option("hive")) {
        const std::optional<Hive> hive = parseHive(*name);
        if (!hive) {
            args.complain("unknown hive '" + std::string(*name) + "'");
            return 1;
        }
        hives = {*hive};
    }

    const std::optional<std::filesystem::path> file = SqliteRegistry::defaultFile();
    if (!file) {
        args.complain("cannot tell where the settings are: HOME is not set");
        return 2;
    }
    std::string text;
    std::error_code error;
    if (!std::filesystem::exists(*file, error)) {
        // Nothing has been stored yet: an empty store.
        std::unique_ptr<SqliteRegistry> empty = SqliteRegistry::openInMemory();
        text = exportRegText(*empty, hives);
    } else {
        // Read-only, so that looking at the settings never changes them.
        std::unique_ptr<SqliteRegistry> registry = SqliteRegistry::open(*file, {.readOnly = true});
        if (!registry) {
            args.complain("cannot read the settings store " + file->string());
            return 2;
        }
        text = exportRegText(*registry, hives);
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

}  // namespace melodeck::tool
