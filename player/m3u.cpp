#include "m3u.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "unique_fd.h"
#include "utf8.h"

namespace melodeck {
namespace {

constexpr char16_t kCr = 0x000D;
constexpr char16_t kLf = 0x000A;
constexpr char16_t kEscapeBase = 0xDC00;  // + a byte 0x80..0xFF that is not UTF-8
constexpr char16_t kReplacement = 0xFFFD;
constexpr std::u16string_view kHeader = u"#EXTM3U";

void appendUnit(std::vector<std::uint8_t>& out, char16_t unit) {
    out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    out.push_back(static_cast<std::uint8_t>(unit >> 8));
}

void appendLine(std::vector<std::uint8_t>& out, std::u16string_view text) {
    for (const char16_t unit : text) appendUnit(out, unit);
    appendUnit(out, kCr);
    appendUnit(out, kLf);
}

bool canHoldText(std::u16string_view text) {
    return !text.empty() && text.size() <= kM3uLineUnits && text.front() != u'#' &&
           text.front() != u'%' && text.find_first_of(u"\r\n") == std::u16string_view::npos;
}

// Bytes of the folder that "%" lines are relative to: the playlist's path up to its last
// "/", or "." for a bare file name.
std::string relativeBase(const std::filesystem::path& playlistFile) {
    const std::string& text = playlistFile.native();
    const auto slash = text.rfind('/');
    return slash == std::string::npos ? std::string(".") : text.substr(0, slash);
}

}  // namespace

std::u16string m3uTextOfPath(const std::filesystem::path& path) {
    const std::string_view bytes = path.native();
    std::u16string text;
    text.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        char32_t cp = 0;
        const std::size_t length = decodeUtf8(bytes.substr(i), cp);
        if (length == 0) {
            text.push_back(
                static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[i])));
            ++i;
            continue;
        }
        appendUtf16(text, cp);
        i += length;
    }
    return text;
}

std::filesystem::path pathOfM3uText(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size() && text[i] != 0) {
        char32_t cp = 0;
        const std::size_t length = decodeUtf16(text.substr(i), cp);
        if (length == 2) {
            appendUtf8(bytes, cp);
        } else if (cp >= kEscapeBase + 0x80 && cp <= kEscapeBase + 0xFF) {
            bytes.push_back(static_cast<char>(cp - kEscapeBase));
        } else if (isHighSurrogate(cp) || isLowSurrogate(cp)) {
            appendUtf8(bytes, kReplacement);
        } else {
            appendUtf8(bytes, cp);
        }
        i += length;
    }
    return std::filesystem::path(std::move(bytes));
}

bool m3uCanHold(const std::filesystem::path& path) { return canHoldText(m3uTextOfPath(path)); }

std::vector<std::uint8_t> encodeM3u(std::span<const std::filesystem::path> paths) {
    std::vector<std::uint8_t> out;
    appendLine(out, kHeader);
    for (const auto& path : paths) {
        const std::u16string text = m3uTextOfPath(path);
        // Left out on purpose, see the header: the line would name something else.
        if (!canHoldText(text)) continue;
        appendLine(out, text);
    }
    return out;
}

std::vector<std::filesystem::path> parseM3u(std::span<const std::uint8_t> bytes,
                                            const std::filesystem::path& playlistFile) {
    const std::size_t unitCount = bytes.size() / 2;
    const auto unitAt = [&](std::size_t i) {
        return static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    };

    std::vector<std::filesystem::path> paths;
    std::u16string line;
    std::size_t pos = 0;
    while (pos < unitCount) {
        line.clear();
        while (pos < unitCount && line.size() < kM3uLineUnits) {
            const char16_t unit = unitAt(pos++);
            line.push_back(unit);
            if (unit == kLf) break;
        }
        if (line.front() == u'#') continue;
        const auto cut = line.find_first_of(std::u16string_view(u"\r\0", 2));
        if (cut != std::u16string::npos) line.resize(cut);
        if (line.empty()) continue;

        if (line.front() != u'%') {
            paths.push_back(pathOfM3uText(line));
            continue;
        }
        std::u16string_view rest = std::u16string_view(line).substr(1);
        std::string named = relativeBase(playlistFile);
        if (!rest.empty() && rest.front() == u'\\') {
            named.push_back('/');
            rest.remove_prefix(1);
        }
        named += pathOfM3uText(rest).native();
        paths.emplace_back(std::move(named));
    }
    return paths;
}

std::vector<std::filesystem::path> readM3uFile(const std::filesystem::path& file) {
    // Opened without waiting, so that a named pipe cannot hold the caller.
    UniqueFd fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) return {};
    struct stat info {};
    std::vector<std::uint8_t> bytes;
    bool readAll = false;
    if (::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode)) {
        // The size is only a hint (it may change while we read, and some files report 0).
        // Reading one byte past the limit tells a file that is too long from one that fits.
        constexpr std::size_t kChunk = 64 * 1024;
        const auto hint = static_cast<std::uintmax_t>(std::max<off_t>(info.st_size, 0));
        bytes.reserve(static_cast<std::size_t>(std::min<std::uintmax_t>(hint, kMaxM3uFileBytes)) +
                      1);
        std::size_t done = 0;
        while (done <= kMaxM3uFileBytes) {
            bytes.resize(std::min(done + kChunk, kMaxM3uFileBytes + 1));
            const ssize_t n = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                readAll = n == 0;
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        readAll = readAll && done <= kMaxM3uFileBytes;
        bytes.resize(std::min(done, kMaxM3uFileBytes));
    }
    fd.close();

    if (!readAll) {
        // The file goes on past the limit, or could not be read to its end: keep whole lines
        // only, so that the cut cannot name a file that the playlist does not.
        std::size_t keep = bytes.size() / 2 * 2;
        while (keep >= 2 && !(bytes[keep - 2] == kLf && bytes[keep - 1] == 0)) keep -= 2;
        bytes.resize(keep);
    }
    return parseM3u(bytes, file);
}

bool writeM3uFile(const std::filesystem::path& file, std::span<const std::filesystem::path> paths,
                  AtomicWriteFault fault) {
    return writeFileAtomically(file, encodeM3u(paths), fault);
}

}  // namespace melodeck
