#pragma once

#include <cstdint>
#include <mutex>

#include "synth_library.h"

namespace melodeck {

// Passes notifications to the listener of the moment. Thread-safe: the UI thread changes the
// listener, any thread posts; a post never overlaps a change, so a listener that has been
// replaced receives nothing more once set() returns.
class ListenerSlot {
public:
    void set(SynthListener* listener) {
        std::lock_guard lock(m_mutex);
        m_listener = listener;
    }
    void post(SynthMsg code, std::uint32_t wParam) {
        std::lock_guard lock(m_mutex);
        if (m_listener) m_listener->post(code, wParam);
    }

private:
    std::mutex m_mutex;
    SynthListener* m_listener = nullptr;
};

}  // namespace melodeck
