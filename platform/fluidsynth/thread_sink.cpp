#include "thread_sink.h"

#include <chrono>
#include <vector>

namespace melodeck {

namespace {

constexpr int kBlockFrames = 256;
// A belt to the braces of wake(): an idle sink looks again this often.
constexpr auto kIdleRecheck = std::chrono::milliseconds(100);

}  // namespace

std::unique_ptr<ThreadSink> ThreadSink::start(RenderSource& source, Pace pace, std::uint32_t rate,
                                              std::unique_ptr<WavWriter> wav) {
    return std::unique_ptr<ThreadSink>(new ThreadSink(source, pace, rate, std::move(wav)));
}

ThreadSink::ThreadSink(RenderSource& source, Pace pace, std::uint32_t rate,
                       std::unique_ptr<WavWriter> wav)
    : m_source(source), m_pace(pace), m_rate(rate), m_wav(std::move(wav)), m_thread([this] {
          run();
      }) {}

ThreadSink::~ThreadSink() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wakeUp.notify_all();
    m_thread.join();
}

void ThreadSink::wake() {
    {
        std::lock_guard lock(m_mutex);
        m_woken = true;
    }
    m_wakeUp.notify_all();
}

void ThreadSink::run() {
    using Clock = std::chrono::steady_clock;
    std::vector<float> left(kBlockFrames), right(kBlockFrames);
    Clock::time_point paceStart = Clock::now();
    std::uint64_t pacedFrames = 0;
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            if (m_stopping) return;
            m_woken = false;
        }
        const int audible = m_source.render(left.data(), right.data(), kBlockFrames);
        if (audible == 0) {
            if (m_wav) m_wav->flush();
            std::unique_lock lock(m_mutex);
            m_wakeUp.wait_for(lock, kIdleRecheck, [this] { return m_woken || m_stopping; });
            // Real-time pace starts afresh after a wait: a pause is not made up for.
            paceStart = Clock::now();
            pacedFrames = 0;
            continue;
        }
        if (m_wav) m_wav->write(left.data(), right.data(), audible);
        if (m_pace == Pace::RealTime) {
            pacedFrames += static_cast<std::uint64_t>(audible);
            const auto due = paceStart + std::chrono::microseconds(pacedFrames * 1000000 / m_rate);
            std::unique_lock lock(m_mutex);
            m_wakeUp.wait_until(lock, due, [this] { return m_stopping; });
        }
    }
}

}  // namespace melodeck
