#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace melodeck::test {

// A fresh folder under the system's temporary folder, removed with everything in it when
// the object goes.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "melodeck-XXXXXX").string();
        if (mkdtemp(pattern.data())) m_path = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Points MELODECK_CONFIG_DIR at a temporary folder for the life of the object, so nothing
// a test does can reach the user's own settings.
class TempConfigDir {
public:
    TempConfigDir() {
        const char* old = std::getenv("MELODECK_CONFIG_DIR");
        if (old) m_old = old;
        m_hadOld = old != nullptr;
        setenv("MELODECK_CONFIG_DIR", m_dir.path().c_str(), 1);
    }
    ~TempConfigDir() {
        if (m_hadOld) {
            setenv("MELODECK_CONFIG_DIR", m_old.c_str(), 1);
        } else {
            unsetenv("MELODECK_CONFIG_DIR");
        }
    }
    const std::filesystem::path& path() const { return m_dir.path(); }

private:
    TempDir m_dir;
    std::string m_old;
    bool m_hadOld = false;
};

}  // namespace melodeck::test
