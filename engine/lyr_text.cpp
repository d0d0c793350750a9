#include "lyr_text.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <vector>

namespace melodeck {

namespace {

constexpr int kCharTableResource = 200;
constexpr std::string_view kTableNotFound = "Could not locate character table.";
constexpr std::string_view kTableNotLoaded = "Could not load character table.";

// Where the built-in table departs from ISO 8859-1: the Windows-1252 characters most
// often met in lyrics.
struct TablePatch {
    std::uint8_t byte;
    char16_t character;
};
constexpr TablePatch kWindows1252Patch[] = {
    {0x80, u'\u20AC'}, {0x8C, u'\u0152'}, {0x91, u'\u2018'}, {0x92, u'\u2019'}, {0x9C, u'\u0153'},
};

std::int32_t wrapAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

std::int32_t wrapSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

}  // namespace

CLyrText::CLyrText(Notifier& notifier)
    : m_notifier(notifier), m_cursor(m_events.end()), m_previousEvent(m_events.end()) {
    m_display.displayed = m_lines.end();
    for (std::size_t i = 0; i < m_charTable.size(); ++i) {
        m_charTable[i] = static_cast<char16_t>(i);
    }
}

CLyrText::~CLyrText() = default;

// ---- Character table -----------------------------------------------------------------

void CLyrText::loadCharTable(std::int32_t languageCode) {
    for (std::size_t i = 0; i < m_charTable.size(); ++i) {
        m_charTable[i] = static_cast<char16_t>(i);
    }
    m_languageCode = languageCode;

    if (languageCode != kLanguageRussian) {
        for (const TablePatch& patch : kWindows1252Patch) {
            m_charTable[patch.byte] = patch.character;
        }
        return;
    }

    std::vector<std::uint8_t> data;
    const ResourceStatus status = m_resources != nullptr
                                      ? m_resources->rawData(kCharTableResource, data)
                                      : ResourceStatus::NotFound;
    if (status == ResourceStatus::NotFound) {
        m_notifier.showMessage(kTableNotFound);
        return;
    }
    // A table too short to name its range cannot be used.
    if (status == ResourceStatus::LoadFailed || data.size() < 2) {
        m_notifier.showMessage(kTableNotLoaded);
        return;
    }
    const unsigned first = data[0];
    const unsigned last = data[1];
    // A table cut short fills what it holds; the other entries stay identity.
    for (unsigned byte = first; byte <= last; ++byte) {
        const std::size_t at = 2 + 2 * static_cast<std::size_t>(byte - first);
        if (at + 1 >= data.size()) {
            break;
        }
        m_charTable[byte] = static_cast<char16_t>(data[at] | (data[at + 1] << 8));
    }
}

std::u16string CLyrText::widen(std::string_view bytes) {
    std::u16string wide(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        wide[i] = static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]));
    }
    return wide;
}

void CLyrText::convertText(std::u16string& text) const {
    if (m_languageCode == kLanguageEnglish) {
        return;
    }
    convertRaw(text.data(), text.size());
}

void CLyrText::convertRaw(char16_t* text, std::size_t n) const {
    for (std::size_t i = 0; i < n; ++i) {
        text[i] = m_charTable[text[i] & 0xFF];
    }
}

std::u16string CLyrText::infoLineText(const InfoEntry& entry) const {
    std::u16string text = widen(entry.text);
    convertText(text);
    if (!text.empty() && text.front() == u'@') {
        text.erase(0, std::min<std::size_t>(2, text.size()));
    }
    return text;
}

// ---- Clock ---------------------------------------------------------------------------

void CLyrText::setTempo(std::uint32_t tempo) {
    // A file may declare a division of 0; it is taken as 1 rather than divided by.
    const double division = m_division == 0 ? 1.0 : static_cast<double>(m_division);
    const double value =
        ((static_cast<double>(m_sampleRate) * static_cast<double>(tempo)) * 0.065536) / division;
    std::int32_t scaled = 0;
    if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        scaled = std::numeric_limits<std::int32_t>::max();
    } else if (value > 0.0) {
        scaled = static_cast<std::int32_t>(value);
    }
    m_samplesPerTickInt = scaled >> 16;
    m_samplesPerTickFrac = scaled & 0xFFFF;
}

void CLyrText::setLyricDelay(std::int32_t ldelay) {
    m_lyricDelay = static_cast<std::int32_t>(static_cast<std::uint32_t>(m_delayBase) *
                                             static_cast<std::uint32_t>(ldelay));
}

void CLyrText::resetCursor() {
    m_cursor = m_events.empty() ? m_events.end() : std::next(m_events.begin());
    m_clockOffset = 0;
    m_clockStarted = false;
}

void CLyrText::startClock(std::int32_t position) {
    m_clockOffset = wrapSub(wrapAdd(m_lyricDelay, position), m_firstLyricTime);
    m_clockStarted = true;
}

const SongEvent* CLyrText::cursor() const {
    return m_cursor == m_events.end() ? nullptr : &*m_cursor;
}

void CLyrText::advanceTo(std::int32_t position) {
    if (!m_clockStarted || m_cursor == m_events.end()) {
        return;
    }
    const std::int32_t now = wrapSub(position, m_clockOffset);
    if (m_cursor->sampleTime > now) {
        return;
    }
    // Syllables passed over are not painted one by one: painting the event the cursor stops
    // at highlights its line up to it. A marker holds the cursor.
    for (auto next = std::next(m_cursor);
         next != m_events.end() && next->sampleTime <= now && m_cursor->marker == 0;
         next = std::next(m_cursor)) {
        m_cursor = next;
    }
    if (m_cursor->marker == 1 && !changePictureAtBreak()) {
        // No picture to wipe in: clear the area at once and go straight to the event that
        // shows the next page.
        clearLyricArea();
        do {
            ++m_cursor;
        } while (m_cursor != m_events.end() && m_cursor->marker > 9);
        if (m_cursor == m_events.end()) {
            return;
        }
    }
    paintEvent(false);
    ++m_cursor;
}

bool CLyrText::changePictureAtBreak() { return false; }

}  // namespace melodeck
