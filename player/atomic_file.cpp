#include "atomic_file.h"

#include <cerrno>
#include <chrono>
#include <random>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "unique_fd.h"

namespace melodeck {
namespace {

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Removes the temporary file unless it has been renamed into place.
class TempFileGuard {
public:
    explicit TempFileGuard(std::string path) : m_path(std::move(path)) {}
    ~TempFileGuard() {
        if (!m_path.empty()) ::unlink(m_path.c_str());
    }
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;
    void release() { m_path.clear(); }

private:
    std::string m_path;
};

constexpr std::size_t kNameBytesKept = 200;

// Creates a new file beside `target` with a name no other writer can be using, so two
// saves of the same file at once cannot mix their bytes. The name starts with a dot and
// the target's name, so that a left-over one (after a power cut) is recognisable.
UniqueFd createTempFile(const std::filesystem::path& target, std::string& tempPath) {
    // Only the name has to be unlikely to be taken; O_EXCL settles the rest.
    std::mt19937 random(static_cast<std::uint32_t>(
        static_cast<std::uint64_t>(::getpid()) * 2654435761u ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())));
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::filesystem::path folder = target.parent_path();
        // A file name holds at most 255 bytes; the target's may already use them all.
        const std::string name = "." + target.filename().native().substr(0, kNameBytesKept) +
                                 ".tmp-" + std::to_string(random() % 1000000000u);
        tempPath = (folder.empty() ? std::filesystem::path(name) : folder / name).native();
        UniqueFd fd(::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.valid() || errno != EEXIST) return fd;
    }
    return UniqueFd(-1);
}

}  // namespace

bool writeFileAtomically(const std::filesystem::path& file, std::span<const std::uint8_t> bytes,
                         AtomicWriteFault fault) {
    // Writing through a link must not replace the link with a plain file.
    std::filesystem::path target = file;
    std::error_code error;
    if (std::filesystem::is_symlink(file, error)) {
        const auto resolved = std::filesystem::weakly_canonical(file, error);
        if (!error) target = resolved;
    }

    std::string tempPath;
    UniqueFd fd =
        fault == AtomicWriteFault::Create ? UniqueFd(-1) : createTempFile(target, tempPath);
    if (!fd.valid()) return false;
    TempFileGuard guard(tempPath);

    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        // Not keeping the old permissions is no reason to give up the save.
        (void)::fchmod(fd.get(), old.st_mode & 07777);
    }
    if (fault == AtomicWriteFault::Write || !writeAll(fd.get(), bytes)) return false;
    if (fault == AtomicWriteFault::Sync || ::fsync(fd.get()) != 0) return false;
    if (!fd.close()) return false;
    if (fault == AtomicWriteFault::Rename || ::rename(tempPath.c_str(), target.c_str()) != 0) {
        return false;
    }
    guard.release();

    // Makes the rename itself survive a power cut. Ignored when it fails: the new contents
    // are already in place, and some file systems refuse to flush a folder.
    const std::filesystem::path folder = target.parent_path();
    UniqueFd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) (void)::fsync(dir.get());
    return true;
}

}  // namespace melodeck
