#pragma once

namespace melodeck {

// What a sink pulls its audio from.
class RenderSource {
public:
    virtual ~RenderSource() = default;
    // Fills `frames` frames of `left` and `right` (each holding `frames` floats) and returns
    // how many of them, from the start, carry something to hear; the rest is silence. 0 means
    // there is nothing to play (idle or paused): a sink that need not feed a device may then
    // wait for its wake(). Called from the sink's own thread only.
    virtual int render(float* left, float* right, int frames) = 0;
};

// Takes rendered audio to where it is heard (a device, a file, or nowhere at the right pace).
// The sink runs its own thread (or the device's), which calls the source's render(); the
// source must outlive the sink. Destroying the sink stops that thread: no render() call runs
// after the destructor returns.
class AudioSink {
public:
    virtual ~AudioSink() = default;
    // Frames rendered but not yet heard, queued in the device; 0 for sinks that hear at once.
    virtual int latencyFrames() const = 0;
    // There may be audio to render again: a sink that waits for work renders at once.
    // Thread-safe.
    virtual void wake() = 0;
};

}  // namespace melodeck
