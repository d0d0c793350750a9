#pragma once

#include <cstdint>
#include <optional>

namespace melodeck {

// Keeps the desktop from blanking the screen or going idle while a song plays, through the
// freedesktop ScreenSaver service on the session bus. Without a session bus or without the
// service it does nothing. Releases what it holds when it goes.
//
// Single-threaded: UI thread only. The calls are made with a short timeout, so a hung
// service cannot stall the player for long.
class ScreenSaverInhibitor {
public:
    ScreenSaverInhibitor() = default;
    ~ScreenSaverInhibitor();
    ScreenSaverInhibitor(const ScreenSaverInhibitor&) = delete;
    ScreenSaverInhibitor& operator=(const ScreenSaverInhibitor&) = delete;

    // Asks for the screen to stay awake (true) or gives the request back (false). Repeating
    // the state already in effect makes no call.
    void setInhibited(bool inhibited);
    bool inhibited() const { return m_cookie.has_value(); }

private:
    std::optional<std::uint32_t> m_cookie;
};

}  // namespace melodeck
