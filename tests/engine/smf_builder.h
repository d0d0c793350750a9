#pragma once

// A small vocabulary for writing Standard MIDI Files in tests: a header, track chunks, and
// the events inside them, each with its delta time.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace melodeck::test {

class SmfBuilder {
public:
    using Bytes = std::vector<std::uint8_t>;

    // The header chunk. `division` is the raw 16-bit field (0xE728 for 25 fps x 40).
    SmfBuilder& header(int format, int tracks, std::uint16_t division = 480) {
        m_header = {};
        append(m_header, "MThd");
        append32(m_header, 6);
        append16(m_header, static_cast<std::uint16_t>(format));
        append16(m_header, static_cast<std::uint16_t>(tracks));
        append16(m_header, division);
        return *this;
    }
    // Extra header bytes beyond the six the format defines, with the length saying so.
    SmfBuilder& headerExtra(std::initializer_list<std::uint8_t> bytes) {
        m_header.insert(m_header.end(), bytes);
        const auto length = static_cast<std::uint32_t>(m_header.size() - 8);
        for (int i = 0; i < 4; ++i) {
            m_header[4 + i] = static_cast<std::uint8_t>(length >> (24 - 8 * i));
        }
        return *this;
    }
    // Replaces the whole header by raw bytes (for headers that are cut short or wrong).
    SmfBuilder& rawHeader(Bytes bytes) {
        m_header = std::move(bytes);
        return *this;
    }

    // Starts a new track chunk; the events below go into it.
    SmfBuilder& track(std::string_view id = "MTrk") {
        m_tracks.push_back(Track{std::string(id), {}, std::nullopt});
        return *this;
    }
    // Declares a chunk length other than the true one for the current track.
    SmfBuilder& declaredLength(std::uint32_t length) {
        m_tracks.back().declared = length;
        return *this;
    }

    // The delta time before the next event.
    SmfBuilder& delta(std::uint32_t ticks) {
        m_delta = ticks;
        return *this;
    }

    SmfBuilder& text(std::string_view text) { return meta(0x01, text); }
    SmfBuilder& trackName(std::string_view name) { return meta(0x03, name); }
    SmfBuilder& lyric(std::string_view text) { return meta(0x05, text); }
    SmfBuilder& tempo(std::uint32_t microseconds) {
        const char bytes[3] = {static_cast<char>(microseconds >> 16),
                               static_cast<char>(microseconds >> 8),
                               static_cast<char>(microseconds)};
        return meta(0x51, std::string_view(bytes, 3));
    }
    SmfBuilder& endOfTrack() { return meta(0x2F, {}); }
    SmfBuilder& meta(std::uint8_t type, std::string_view data) {
        return metaDeclared(type, static_cast<std::uint32_t>(data.size()), data);
    }
    // A meta event whose declared length differs from the data that follows.
    SmfBuilder& metaDeclared(std::uint8_t type, std::uint32_t length, std::string_view data) {
        event({0xFF, type});
        appendVarLen(current(), length);
        append(current(), data);
        return *this;
    }
    SmfBuilder& noteOn(int channel, int key, int velocity) {
        return event({static_cast<std::uint8_t>(0x90 | channel), static_cast<std::uint8_t>(key),
                      static_cast<std::uint8_t>(velocity)});
    }
    SmfBuilder& programChange(int channel, int program) {
        return event(
            {static_cast<std::uint8_t>(0xC0 | channel), static_cast<std::uint8_t>(program)});
    }
    // Data bytes alone, continuing the last channel message under running status.
    SmfBuilder& running(std::initializer_list<std::uint8_t> data) { return event(data); }
    SmfBuilder& sysex(std::string_view data) {
        event({0xF0});
        appendVarLen(current(), static_cast<std::uint32_t>(data.size()));
        append(current(), data);
        return *this;
    }
    // An event of raw bytes after the pending delta time.
    SmfBuilder& event(std::initializer_list<std::uint8_t> bytes) {
        appendVarLen(current(), m_delta);
        m_delta = 0;
        current().insert(current().end(), bytes);
        return *this;
    }
    // Bytes exactly as given, with no delta time.
    SmfBuilder& raw(std::initializer_list<std::uint8_t> bytes) {
        current().insert(current().end(), bytes);
        return *this;
    }

    Bytes build() const {
        Bytes out = m_header;
        for (const Track& track : m_tracks) {
            append(out, track.id);
            append32(out, track.declared.value_or(static_cast<std::uint32_t>(track.data.size())));
            out.insert(out.end(), track.data.begin(), track.data.end());
        }
        return out;
    }
    // The file with its last `count` bytes cut off.
    Bytes truncated(std::size_t count) const {
        Bytes out = build();
        out.resize(out.size() > count ? out.size() - count : 0);
        return out;
    }

    static void appendVarLen(Bytes& out, std::uint32_t value) {
        std::uint8_t groups[5];
        int n = 0;
        do {
            groups[n++] = static_cast<std::uint8_t>(value & 0x7F);
            value >>= 7;
        } while (value != 0);
        while (n > 1) {
            out.push_back(static_cast<std::uint8_t>(groups[--n] | 0x80));
        }
        out.push_back(groups[0]);
    }

private:
    struct Track {
        std::string id;
        Bytes data;
        std::optional<std::uint32_t> declared;
    };

    Bytes& current() {
        if (m_tracks.empty()) {
            track();
        }
        return m_tracks.back().data;
    }
    static void append(Bytes& out, std::string_view text) {
        out.insert(out.end(), text.begin(), text.end());
    }
    static void append16(Bytes& out, std::uint16_t v) {
        out.push_back(static_cast<std::uint8_t>(v >> 8));
        out.push_back(static_cast<std::uint8_t>(v));
    }
    static void append32(Bytes& out, std::uint32_t v) {
        append16(out, static_cast<std::uint16_t>(v >> 16));
        append16(out, static_cast<std::uint16_t>(v));
    }

    Bytes m_header;
    std::vector<Track> m_tracks;
    std::uint32_t m_delta = 0;
};

// A karaoke file of the usual shape: a conductor track (with `tempo` unless 0), an empty
// track 1, and the words track with one Text event per syllable at the given ticks.
struct Syllable {
    std::uint32_t tick;
    std::string text;
};
inline SmfBuilder karaokeFile(const std::vector<Syllable>& syllables, std::uint32_t tempo = 0,
                              std::uint16_t division = 480) {
    SmfBuilder smf;
    smf.header(1, 3, division).track();
    if (tempo != 0) {
        smf.tempo(tempo);
    }
    smf.endOfTrack().track().endOfTrack().track();
    std::uint32_t tick = 0;
    for (const Syllable& s : syllables) {
        smf.delta(s.tick - tick).text(s.text);
        tick = s.tick;
    }
    smf.endOfTrack();
    return smf;
}

}  // namespace melodeck::test
