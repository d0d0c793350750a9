#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "audio_sink.h"
#include "wav_writer.h"

namespace melodeck {

// A sink with a thread of its own and no device: it renders either at real-time pace
// (the silent sink of a machine without sound, so songs and lyrics still run) or as fast as
// the machine can (tests, tools, WAV files). When there is nothing to play it waits for
// wake() instead of spinning, so a paused song writes nothing to the file.
class ThreadSink final : public AudioSink {
public:
    enum class Pace { RealTime, AsFastAsPossible };

    // Starts the thread at once. `wav`, if given, receives every audible frame.
    // `source` must outlive the sink.
    static std::unique_ptr<ThreadSink> start(RenderSource& source, Pace pace, std::uint32_t rate,
                                             std::unique_ptr<WavWriter> wav);
    ~ThreadSink() override;
    ThreadSink(const ThreadSink&) = delete;
    ThreadSink& operator=(const ThreadSink&) = delete;

    int latencyFrames() const override { return 0; }
    void wake() override;

private:
    ThreadSink(RenderSource& source, Pace pace, std::uint32_t rate, std::unique_ptr<WavWriter> wav);
    void run();

    RenderSource& m_source;
    const Pace m_pace;
    const std::uint32_t m_rate;
    std::unique_ptr<WavWriter> m_wav;  // used by the thread only

    std::mutex m_mutex;
    std::condition_variable m_wakeUp;
    bool m_woken = false;
    bool m_stopping = false;
    std::thread m_thread;  // last, so it starts after the members it uses exist
};

}  // namespace melodeck
