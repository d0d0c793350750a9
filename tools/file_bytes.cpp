#include "file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>

namespace melodeck::tool {
namespace {

// Songs are small; anything near this size is not one, and reading it whole could exhaust
// memory.
constexpr std::size_t kMaxFileBytes = std::size_t{256} << 20;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::optional<std::vector<std::uint8_t>> loadFileBytes(const std::string& path,
                                                       std::string& error) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        error = "cannot open '" + path + "': " + std::strerror(errno);
        return std::nullopt;
    }
    if (S_ISDIR(info.st_mode)) {
        error = "cannot open '" + path + "': it is a folder";
        return std::nullopt;
    }
    if (S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) > kMaxFileBytes) {
        error = "cannot open '" + path + "': larger than 256 MiB, not a song";
        return std::nullopt;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = "cannot open '" + path + "': " + std::strerror(errno);
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t block[65536];
    for (;;) {
        const std::size_t got = std::fread(block, 1, sizeof block, file.get());
        bytes.insert(bytes.end(), block, block + got);
        if (got < sizeof block) break;
        if (bytes.size() > kMaxFileBytes) {
            error = "cannot read '" + path + "': larger than 256 MiB, not a song";
            return std::nullopt;
        }
    }
    if (std::ferror(file.get())) {
        error = "cannot read '" + path + "'";
        return std::nullopt;
    }
    return bytes;
}

}  // namespace melodeck::tool
