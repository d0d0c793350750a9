#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace melodeck::testing {

// Writes Standard MIDI Files for tests: a header, then tracks made of delta-timed events.
// Lengths are filled in when a track ends, unless a test asks for a wrong one.
class SmfWriter {
public:
    // Header chunk with the given format, track count and division.
    SmfWriter(std::int16_t format, std::int16_t tracks, std::uint16_t division) {
        m_bytes = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
        put16(static_cast<std::uint16_t>(format));
        put16(static_cast<std::uint16_t>(tracks));
        put16(division);
    }

    SmfWriter& beginTrack() {
        m_bytes.insert(m_bytes.end(), {'M', 'T', 'r', 'k', 0, 0, 0, 0});
        m_trackStart = m_bytes.size();
        return *this;
    }
    SmfWriter& text(std::uint32_t delta, std::string_view text) { return meta(delta, 0x01, text); }
    SmfWriter& trackName(std::uint32_t delta, std::string_view name) {
        return meta(delta, 0x03, name);
    }
    SmfWriter& tempo(std::uint32_t delta, std::uint32_t microsPerQuarter) {
        const char data[3] = {static_cast<char>(microsPerQuarter >> 16),
                              static_cast<char>(microsPerQuarter >> 8),
                              static_cast<char>(microsPerQuarter)};
        return meta(delta, 0x51, std::string_view(data, 3));
    }
    SmfWriter& noteOn(std::uint32_t delta, std::uint8_t key) {
        varLen(delta);
        m_bytes.insert(m_bytes.end(), {0x90, key, 100});
        return *this;
    }
    SmfWriter& meta(std::uint32_t delta, std::uint8_t type, std::string_view data) {
        varLen(delta);
        m_bytes.push_back(0xFF);
        m_bytes.push_back(type);
        varLen(static_cast<std::uint32_t>(data.size()));
        m_bytes.insert(m_bytes.end(), data.begin(), data.end());
        return *this;
    }
    // End of Track, and the chunk's length.
    SmfWriter& endTrack(std::uint32_t delta = 0) {
        meta(delta, 0x2F, {});
        return closeTrack();
    }
    // The chunk's length without an End of Track event.
    SmfWriter& closeTrack() {
        const auto length = static_cast<std::uint32_t>(m_bytes.size() - m_trackStart);
        for (int i = 0; i < 4; ++i) {
            m_bytes[m_trackStart - 4 + i] = static_cast<std::uint8_t>(length >> (24 - 8 * i));
        }
        return *this;
    }
    SmfWriter& emptyTrack() { return beginTrack().endTrack(); }

    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }

private:
    void put16(std::uint16_t value) {
        m_bytes.push_back(static_cast<std::uint8_t>(value >> 8));
        m_bytes.push_back(static_cast<std::uint8_t>(value));
    }
    void varLen(std::uint32_t value) {
        std::uint8_t groups[5];
        int n = 0;
        do {
            groups[n++] = value & 0x7F;
            value >>= 7;
        } while (value != 0);
        while (n > 1) m_bytes.push_back(groups[--n] | 0x80);
        m_bytes.push_back(groups[0]);
    }

    std::vector<std::uint8_t> m_bytes;
    std::size_t m_trackStart = 0;
};

}  // namespace melodeck::testing
