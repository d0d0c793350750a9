#include "playlist.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>

#include "m3u.h"
#include "unique_fd.h"

namespace melodeck {
namespace {

constexpr std::array<std::string_view, 3> kSongExtensions = {".kar", ".mid", ".midi"};
constexpr std::string_view kDefaultPlaylistName = "default.m3u";
// The longest title kept: the synthesizer gives at most this many characters.
constexpr std::size_t kMaxSongTitleUnits = 257;

// Whether `name` ends in `extension`, ASCII letters compared without case.
bool hasExtension(std::string_view name, std::string_view extension) {
    if (name.size() < extension.size()) return false;
    const std::string_view tail = name.substr(name.size() - extension.size());
    return std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(a) == lower(b);
    });
}

// Whether `path` is a regular file whose first four bytes are "MThd". Opened without
// waiting, so that a named pipe cannot hold the list.
bool isMidiFile(const std::filesystem::path& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) return false;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    std::array<char, 4> magic{};
    std::size_t done = 0;
    while (done < magic.size()) {
        const ssize_t n = ::read(fd.get(), magic.data() + done, magic.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return std::string_view(magic.data(), magic.size()) == "MThd";
}

// A file name as the list shows it: bytes that are not UTF-8 show as U+FFFD.
std::u16string fileNameText(const std::filesystem::path& path) {
    std::u16string text = m3uTextOfPath(path.filename());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            ++i;  // a character above U+FFFF
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            text[i] = u'\uFFFD';
        }
    }
    return text;
}

bool isBlankTitle(std::u16string_view title) {
    return title.find_first_not_of(u" @") == std::u16string_view::npos;
}

}  // namespace

Playlist::Playlist(SynthLibrary& synth) : m_synth(synth) {}

std::vector<std::filesystem::path> Playlist::paths() const {
    std::vector<std::filesystem::path> out;
    out.reserve(m_entries.size());
    for (const auto& e : m_entries) out.push_back(e->path);
    return out;
}

std::u16string Playlist::titleOf(const std::filesystem::path& path) const {
    std::u16string title = m_synth.timid_get_mid_info(path);
    if (title.size() > kMaxSongTitleUnits) title.resize(kMaxSongTitleUnits);
    // A file name is never converted: the table maps bytes, and would garble a name's
    // characters beyond U+00FF.
    if (isBlankTitle(title)) return fileNameText(path);
    if (m_naming.lyricCode != kLanguageEnglish && m_naming.charTable != nullptr) {
        m_naming.charTable->convertRaw(title.data(), title.size());
    }
    return title;
}

// ---- Adding ---------------------------------------------------------------------------

bool Playlist::AddSongFile(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(path, error);
    if (error) return false;
    // Skipped silently, like a file that is not a song: the path could not be saved.
    if (!m3uCanHold(full)) return false;
    if (!isMidiFile(full)) return false;

    auto entry = std::make_unique<PlaylistEntry>();
    entry->path = std::move(full);
    entry->displayName = m_naming.useFileName ? fileNameText(entry->path) : titleOf(entry->path);
    m_entries.push_back(std::move(entry));
    if (m_observer) m_observer->entryInserted(count() - 1, *m_entries.back());
    return true;
}

void Playlist::ScanFolder(const std::filesystem::path& folder, bool recursive) {
    std::set<std::pair<std::uint64_t, std::uint64_t>> visited;
    scanFolder(folder, recursive, visited);
}

void Playlist::scanFolder(const std::filesystem::path& folder, bool recursive,
                          std::set<std::pair<std::uint64_t, std::uint64_t>>& visited) {
    // A folder reached again through a link would be scanned without end.
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return;
    if (!visited.emplace(info.st_dev, info.st_ino).second) return;

    std::vector<std::filesystem::path> files;
    std::vector<std::filesystem::path> folders;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code statError;
        if (it->is_directory(statError)) {
            folders.push_back(it->path());
        } else {
            files.push_back(it->path());
        }
    }
    for (const std::string_view extension : kSongExtensions) {
        for (const auto& file : files) {
            if (hasExtension(file.filename().native(), extension)) AddSongFile(file);
        }
    }
    if (!recursive) return;
    for (const auto& sub : folders) {
        // Nothing below a folder this long could be kept in a playlist.
        if (m3uTextOfPath(sub).size() >= kM3uLineUnits) continue;
        scanFolder(sub, recursive, visited);
    }
}

void Playlist::ReadPlaylist(const std::filesystem::path& file) {
    for (const auto& path : readM3uFile(file)) AddSongFile(path);
    MakeFirstCurrent();
}

void Playlist::MakeFirstCurrent() {
    if (m_currentIndex != -1 || empty()) return;
    if (m_observer) m_observer->selectRequested(0);
    m_currentIndex = 0;
    MakeCurrent();
}

// ---- Saving ---------------------------------------------------------------------------

bool Playlist::WritePlaylist(const std::filesystem::path& file, AtomicWriteFault fault) const {
    return writeM3uFile(file, paths(), fault);
}

std::optional<std::filesystem::path> Playlist::defaultPlaylistFile() {
    if (const char* dir = std::getenv("MELODECK_DATA_HOME"); dir && *dir) {
        return std::filesystem::path(dir) / kDefaultPlaylistName;
    }
    // An XDG_DATA_HOME that is not absolute is to be ignored.
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') {
        return std::filesystem::path(xdg) / "Melodeck" / kDefaultPlaylistName;
    }
    if (const char* home = std::getenv("HOME"); home && *home) {
        return std::filesystem::path(home) / ".local" / "share" / "Melodeck" / kDefaultPlaylistName;
    }
    return std::nullopt;
}

bool Playlist::SaveDefaultPlaylist() const {
    const auto file = defaultPlaylistFile();
    if (!file) return false;
    std::error_code error;
    std::filesystem::create_directories(file->parent_path(), error);
    if (error) return false;
    return WritePlaylist(*file);
}

void Playlist::LoadDefaultPlaylist() {
    if (const auto file = defaultPlaylistFile()) ReadPlaylist(*file);
}

void Playlist::Rebuild(const PlaylistNaming& naming) {
    // A failed save is not shown; the list itself is kept below either way.
    (void)SaveDefaultPlaylist();
    const std::vector<std::filesystem::path> kept = paths();
    DeleteAll();
    m_naming = naming;
    for (const auto& path : kept) AddSongFile(path);
    MakeFirstCurrent();
}

// ---- Editing --------------------------------------------------------------------------

void Playlist::moveEntry(int from, int to) {
    auto entry = std::move(m_entries[static_cast<std::size_t>(from)]);
    m_entries.erase(m_entries.begin() + from);
    if (m_observer) m_observer->entryRemoved(from);
    m_entries.insert(m_entries.begin() + to, std::move(entry));
    if (m_observer) {
        m_observer->entryInserted(to, *m_entries[static_cast<std::size_t>(to)]);
        m_observer->selectRequested(to);
    }
}

void Playlist::MoveUp(int selected) {
    if (!validRow(selected)) return;
    if (selected >= 1) moveEntry(selected, selected - 1);
    FollowCurrentMark();
}

void Playlist::MoveDown(int selected) {
    if (!validRow(selected)) return;
    if (selected < count() - 1) moveEntry(selected, selected + 1);
    FollowCurrentMark();
}

void Playlist::removeEntry(int index) {
    m_entries.erase(m_entries.begin() + index);
    if (m_observer) m_observer->entryRemoved(index);
}

void Playlist::DeleteItem(int selected) {
    if (!validRow(selected)) return;
    if (m_entries[static_cast<std::size_t>(selected)]->isCurrent) {
        if (m_observer) m_observer->stopRequested();
        m_currentIndex = selected;  // already so; set again so that mark and index agree
        ClearCurrent();
        m_currentIndex = -1;
    }
    removeEntry(selected);
    FollowCurrentMark();
}

void Playlist::DeleteAll() {
    if (m_observer) m_observer->stopRequested();
    ClearCurrent();
    for (int i = count() - 1; i >= 0; --i) removeEntry(i);
    m_currentIndex = -1;
}

// ---- The current song -----------------------------------------------------------------

void Playlist::MakeCurrent() {
    if (empty()) return;
    if (m_currentIndex < 0 || m_currentIndex >= count()) m_currentIndex = 0;
    m_entries[static_cast<std::size_t>(m_currentIndex)]->isCurrent = true;
    if (m_observer) m_observer->currentMade(m_currentIndex);
}

void Playlist::ClearCurrent() {
    if (!validRow(m_currentIndex)) return;
    m_entries[static_cast<std::size_t>(m_currentIndex)]->isCurrent = false;
    if (m_observer) m_observer->currentCleared(m_currentIndex);
}

void Playlist::MoveCurrentTo(int index) {
    ClearCurrent();
    m_currentIndex = index;
    MakeCurrent();
}

void Playlist::MakeNextCurrent() {
    MoveCurrentTo(m_currentIndex + 1 > count() - 1 ? 0 : m_currentIndex + 1);
}

void Playlist::MakePreviousCurrent() {
    MoveCurrentTo(m_currentIndex - 1 < 0 ? count() - 1 : m_currentIndex - 1);
}

void Playlist::RestoreCurrent(int listInd) {
    if (listInd < 0 || listInd >= count()) return;
    if (m_observer) m_observer->selectRequested(listInd);
    if (listInd > 0) MoveCurrentTo(listInd);
}

void Playlist::FollowCurrentMark() {
    const auto marked = std::find_if(m_entries.begin(), m_entries.end(),
                                     [](const auto& e) { return e->isCurrent; });
    if (marked != m_entries.end()) {
        m_currentIndex = static_cast<int>(marked - m_entries.begin());
        return;
    }
    ClearCurrent();
    m_currentIndex = -1;
    if (!empty()) {
        m_currentIndex = 0;
        MakeCurrent();
    }
}

}  // namespace melodeck
