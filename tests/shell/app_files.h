#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace melodeck::test {

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (m_old) {
            setenv(m_name, m_old->c_str(), 1);
        } else {
            unsetenv(m_name);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

inline std::string readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A playlist file as the program writes it: UTF-16LE, a header line, one path a line.
// Paths must be ASCII.
inline void writeM3u(const std::filesystem::path& file,
                     const std::vector<std::filesystem::path>& songs) {
    std::u16string text = u"#EXTM3U\r\n";
    for (const std::filesystem::path& song : songs) {
        for (char c : song.string()) text.push_back(static_cast<char16_t>(c));
        text += u"\r\n";
    }
    std::ofstream out(file, std::ios::binary);
    for (char16_t unit : text) {
        out.put(static_cast<char>(unit & 0xFF));
        out.put(static_cast<char>(unit >> 8));
    }
}

// The paths of a playlist file with ASCII paths, without its header line.
inline std::vector<std::string> readM3u(const std::filesystem::path& file) {
    const std::string bytes = readBytes(file);
    std::string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) text.push_back(bytes[i]);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    if (!lines.empty() && lines.front() == "#EXTM3U") lines.erase(lines.begin());
    return lines;
}

// The demo song of the source tree.
inline std::filesystem::path demoSong() {
    return std::filesystem::path(std::getenv("MELODECK_SOURCE_DIR")) /
           "data/KaraokeFiles/Oh_Susanna.kar";
}

}  // namespace melodeck::test
