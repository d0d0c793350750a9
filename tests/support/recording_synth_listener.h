#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "synth_library.h"

namespace melodeck::test {

// A synthesizer listener that keeps every notification, for tests. post() may come from any
// thread; the waits let a test block until a notification arrives.
class RecordingSynthListener final : public SynthListener {
public:
    struct Note {
        SynthMsg code;
        std::uint32_t wParam;
        std::thread::id thread;  // the thread that posted it
    };

    void post(SynthMsg code, std::uint32_t wParam) override {
        {
            std::lock_guard lock(m_mutex);
            m_notes.push_back({code, wParam, std::this_thread::get_id()});
        }
        m_arrived.notify_all();
    }

    // Waits until `count` notifications with `code` have arrived; false after `timeout`.
    bool waitFor(SynthMsg code, std::size_t count = 1,
                 std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
        std::unique_lock lock(m_mutex);
        return m_arrived.wait_for(lock, timeout, [&] { return countLocked(code) >= count; });
    }

    // Waits for a notification `code` whose wParam is at least `wParam`.
    bool waitForAtLeast(SynthMsg code, std::uint32_t wParam,
                        std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
        std::unique_lock lock(m_mutex);
        return m_arrived.wait_for(lock, timeout, [&] {
            for (const Note& n : m_notes)
                if (n.code == code && n.wParam >= wParam) return true;
            return false;
        });
    }

    std::vector<Note> notes() const {
        std::lock_guard lock(m_mutex);
        return m_notes;
    }
    std::size_t count(SynthMsg code) const {
        std::lock_guard lock(m_mutex);
        return countLocked(code);
    }
    void clear() {
        std::lock_guard lock(m_mutex);
        m_notes.clear();
    }

private:
    std::size_t countLocked(SynthMsg code) const {
        std::size_t n = 0;
        for (const Note& note : m_notes) n += note.code == code ? 1 : 0;
        return n;
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<Note> m_notes;
};

}  // namespace melodeck::test
