#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace melodeck {

// Shifts the key of note events by a number of semitones while keeping every note-off
// matched to the key its note-on actually sounded, so a shift in the middle of a note never
// leaves it hanging. The drum channel (10, index 9) is never shifted.
//
// Not thread-safe: the owner serialises calls (the playback callback and the UI thread's
// pitch changes run under the owner's lock).
class NoteTransposer {
public:
    static constexpr int kChannels = 16;
    static constexpr int kKeys = 128;
    static constexpr int kDrumChannel = 9;
    static constexpr int kSilent = -1;  // a note that sounds no key

    // The key to sound for a note-on of `key` (velocity above 0), remembered until its note-off;
    // kSilent when the shifted key falls outside 0..127.
    int noteOn(int channel, int key, int velocity);  // REQUIRES: velocity > 0
    // The key to release for a note-off of `key`: the one its note-on sounded, or the key
    // shifted by the current amount when no note-on was seen; kSilent when none.
    int noteOff(int channel, int key);

    // Adds `steps` to the shift. Each sounding note (drums excepted) moves with it:
    // `retune(channel, oldKey, newKey, velocity)` is called for each, newKey kSilent when the
    // note can no longer sound.
    using Retune = std::function<void(int channel, int oldKey, int newKey, int velocity)>;
    void shiftBy(int steps, const Retune& retune);

    // Forgets every sounding note of `channel` (all channels for -1): after All Notes Off,
    // All Sound Off or a reset.
    void forget(int channel);
    // Forgets every note and sets the shift back to 0.
    void reset();

    int shift() const { return m_shift; }

private:
    int shifted(int channel, int key) const;

    struct Sounding {
        std::int16_t key = kSilent;  // kSilent when this source key is not sounding
        std::uint8_t velocity = 0;
    };
    std::array<std::array<Sounding, kKeys>, kChannels> m_notes{};
    int m_shift = 0;
};

}  // namespace melodeck
