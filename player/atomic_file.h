#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace melodeck {

// A step of writeFileAtomically that tests can make fail, as a full disk or an I/O error
// would.
enum class AtomicWriteFault { None, Create, Write, Sync, Rename };

// Replaces the contents of `file` with `bytes` so that the file is never seen half written:
// the bytes go to a new file in the same folder, which is flushed to the disk and then
// renamed over `file`; the folder is flushed last. A symbolic link named `file` keeps
// pointing where it did and its target is replaced. An existing file's permission bits are
// kept; a new file gets 0666 less the umask.
//
// Returns true once `file` holds `bytes`. On false `file` is exactly as it was (absent, or
// whole with its old contents) and no temporary file is left behind. A failure to flush the
// folder after the rename still returns true: the new contents are in place, and some file
// systems cannot flush a folder at all.
bool writeFileAtomically(const std::filesystem::path& file, std::span<const std::uint8_t> bytes,
                         AtomicWriteFault fault = AtomicWriteFault::None);

}  // namespace melodeck
