#include "note_transposer.h"

namespace melodeck {

namespace {

bool validNote(int channel, int key) {
    return channel >= 0 && channel < NoteTransposer::kChannels && key >= 0 &&
           key < NoteTransposer::kKeys;
}

}  // namespace

int NoteTransposer::shifted(int channel, int key) const {
    if (channel == kDrumChannel) return key;
    const int result = key + m_shift;
    return (result < 0 || result >= kKeys) ? kSilent : result;
}

int NoteTransposer::noteOn(int channel, int key, int velocity) {
    if (!validNote(channel, key)) return kSilent;
    const int sounding = shifted(channel, key);
    m_notes[channel][key] = {static_cast<std::int16_t>(sounding),
                             static_cast<std::uint8_t>(velocity & 0x7F)};
    return sounding;
}

int NoteTransposer::noteOff(int channel, int key) {
    if (!validNote(channel, key)) return kSilent;
    Sounding& note = m_notes[channel][key];
    if (note.velocity == 0) return shifted(channel, key);
    const int sounding = note.key;
    note = Sounding{};
    return sounding;
}

void NoteTransposer::shiftBy(int steps, const Retune& retune) {
    m_shift += steps;
    // Keep the shift within what can still sound; anything beyond only silences more notes.
    if (m_shift > kKeys) m_shift = kKeys;
    if (m_shift < -kKeys) m_shift = -kKeys;
    for (int channel = 0; channel < kChannels; ++channel) {
        if (channel == kDrumChannel) continue;
        for (int key = 0; key < kKeys; ++key) {
            Sounding& note = m_notes[channel][key];
            if (note.velocity == 0) continue;
            const int newKey = shifted(channel, key);
            if (newKey == note.key) continue;
            retune(channel, note.key, newKey, note.velocity);
            note.key = static_cast<std::int16_t>(newKey);
        }
    }
}

void NoteTransposer::forget(int channel) {
    if (channel < 0) {
        for (auto& notes : m_notes) notes.fill(Sounding{});
    } else if (channel < kChannels) {
        m_notes[channel].fill(Sounding{});
    }
}

void NoteTransposer::reset() {
    forget(-1);
    m_shift = 0;
}

}  // namespace melodeck
