// The layout pass: times every event, breaks the syllables into lines that fit the lyric
// area and plants the pause markers.

#include <algorithm>
#include <iterator>
#include <new>

#include "lyr_text.h"
#include "text_wrap.h"

namespace melodeck {

namespace {

constexpr std::uint32_t kDefaultTempo = 500000;
constexpr std::uint32_t kLongPauseSeconds = 9;  // a gap above this many whole seconds
constexpr std::uint32_t kMarkerLeadSeconds = 3;
constexpr std::uint8_t kMarkerPauseBegins = 1;
constexpr std::uint8_t kMarkerPauseEnds = 2;
constexpr std::uint8_t kMarkerNextPage = 0;
constexpr std::uint8_t kFirstWipeMarker = 10;
constexpr int kWipeSteps = 10;

bool isSyllable(const SongEvent& event) { return event.tempo == 0 && event.marker == 0; }

std::string narrow(std::u16string_view text) {
    std::string bytes(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[i] = static_cast<char>(text[i] & 0xFF);
    }
    return bytes;
}

std::int32_t addSamples(std::int32_t time, std::uint32_t samples) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(time) + samples);
}

// Sample time / tick without the one overflowing quotient.
std::int32_t averageSamplesPerTick(std::int32_t sampleTime, std::int32_t tick) {
    if (tick == -1) {
        return static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(sampleTime));
    }
    return sampleTime / tick;
}

// The running sample count of the timing walk: 32-bit samples that wrap, and a 16.16
// fraction carried only once it reaches a whole sample. Ticks going backwards (tempo entries
// of two tracks out of order) make it negative for a while.
class SampleClock {
public:
    void advance(std::int32_t tick, std::int32_t samplesPerTick, std::int32_t fraction) {
        if (tick == m_previousTick) {
            return;
        }
        const auto delta = static_cast<std::int32_t>(static_cast<std::uint32_t>(tick) -
                                                     static_cast<std::uint32_t>(m_previousTick));
        m_fraction += static_cast<std::uint64_t>(static_cast<std::int64_t>(fraction) * delta);
        m_samples += static_cast<std::uint32_t>(samplesPerTick) * static_cast<std::uint32_t>(delta);
        const auto signedFraction = static_cast<std::int64_t>(m_fraction);
        if (signedFraction >= 65536) {
            m_samples += static_cast<std::uint32_t>(signedFraction >> 16);
            m_fraction &= 0xFFFF;
        }
        m_previousTick = tick;
    }
    std::int32_t samples() const { return static_cast<std::int32_t>(m_samples); }

private:
    std::uint32_t m_samples = 0;
    std::uint64_t m_fraction = 0;
    std::int32_t m_previousTick = 0;
};

}  // namespace

void CLyrText::layoutSong(const Canvas& canvas, const Rect& lyricArea) {
    if (m_eventCount < 2 || m_events.empty()) {
        return;
    }
    try {
        layoutPass(canvas, lyricArea);
    } catch (const std::bad_alloc&) {
        abandonSong();
    }
    m_canvas = nullptr;
}

void CLyrText::layoutPass(const Canvas& canvas, const Rect& lyricArea) {
    m_lyricArea = lyricArea;
    m_lineHeight = 0;
    m_lines.clear();
    forgetDisplayedLine();
    m_lineCount = 0;
    m_canvas = &canvas;
    m_cursor = m_events.end();
    m_clockStarted = false;
    m_firstLyricTime = 0;
    m_delayBase = 0;
    // Lines of an earlier layout are gone; no event may keep pointing at one.
    for (SongEvent& event : m_events) {
        event.line = nullptr;
    }

    setTempo(kDefaultTempo);
    SampleClock clock;

    m_currentLineText.clear();
    newLine();
    m_firstSyllable = true;
    m_previousEvent = m_events.begin();
    bool firstSyllableTimed = false;

    auto it = std::next(m_events.begin());
    while (it != m_events.end()) {
        SongEvent& event = *it;
        clock.advance(event.tick, m_samplesPerTickInt, m_samplesPerTickFrac);
        event.sampleTime = clock.samples();

        if (event.tempo != 0) {
            // A tempo event has done its work once the pace is set: it leaves the list.
            setTempo(event.tempo);
            it = m_events.erase(it);
            --m_eventCount;
            continue;
        }
        if (isSyllable(event)) {
            if (!firstSyllableTimed) {
                firstSyllableTimed = true;
                m_firstLyricTime = event.sampleTime;
                // At tick 0 there is no average yet: the pace in force stands for it.
                m_delayBase = event.tick == 0 ? m_samplesPerTickInt
                                              : averageSamplesPerTick(event.sampleTime, event.tick);
            }
            layoutSyllable(it);
        }
        ++it;
    }
    closeTailLine();
}

std::u16string CLyrText::wordFrom(EventList::const_iterator event, std::u16string syllable) const {
    // The syllable with the rest of its word: following texts up to one that ends or begins
    // with a space, or up to a line mark. Tempo events and empty texts are passed over.
    for (auto next = std::next(event); next != m_events.cend(); ++next) {
        if (next->tempo != 0 || !next->text || next->text->empty()) {
            continue;
        }
        const std::string& text = *next->text;
        if (text.front() == '\\' || text.front() == '/') {
            break;
        }
        syllable += widen(text);
        if (text.back() == ' ' || text.front() == ' ') {
            break;
        }
    }
    return syllable;
}

void CLyrText::layoutSyllable(EventList::iterator event) {
    const std::int32_t width = detail::wrappingWidth(m_lyricArea);
    const std::u16string syllable = event->text ? widen(*event->text) : std::u16string();

    // Whole words stay together: the syllable goes on this line only if the rest of its
    // word fits there too.
    std::u16string word = syllable;
    if (!syllable.empty() && syllable.back() != u' ') {
        word = wordFrom(event, syllable);
    }
    std::u16string candidate = m_currentLineText + word;
    convertText(candidate);
    const detail::FirstLineFit fit = detail::fitFirstLine(candidate, width, *m_canvas);
    if (m_lineHeight == 0) {
        m_lineHeight = fit.size.height;
    }
    if (fit.single) {
        appendSyllable(syllable, event, fit.size.width,
                       static_cast<std::int32_t>(m_currentLineText.size()));
        return;
    }

    std::u16string alone = syllable;
    convertText(alone);
    const detail::FirstLineFit aloneFit = detail::fitFirstLine(alone, width, *m_canvas);
    newLine();
    if (aloneFit.single) {
        appendSyllable(syllable, event, aloneFit.size.width, 0);
        return;
    }
    // Too wide even for a line of its own: the part that fits goes here, the rest becomes a
    // syllable of its own at the same time, which the walk reaches next.
    const std::u16string_view first = std::u16string_view(syllable).substr(0, aloneFit.length);
    appendSyllable(first, event, aloneFit.size.width, 0);
    SongEvent rest;
    rest.tick = event->tick;
    rest.sampleTime = event->sampleTime;
    rest.text = narrow(std::u16string_view(syllable).substr(aloneFit.length));
    m_events.insert(std::next(event), std::move(rest));
    ++m_eventCount;
}

void CLyrText::newLine() {
    if (!m_lines.empty()) {
        closeTailLine();
    }
    m_lines.emplace_back();
    ++m_lineCount;
    m_currentLineText.clear();
}

void CLyrText::closeTailLine() {
    LyricLine& tail = m_lines.back();
    std::u16string text = m_currentLineText;
    convertText(text);
    tail.length = static_cast<std::int32_t>(text.size());
    // The line is centred by its own width, not by that of the fit test's candidate.
    if (m_canvas != nullptr) {
        tail.width = m_canvas->measureSingleLine(text).width;
    }
    tail.text = std::move(text);
}

void CLyrText::appendSyllable(std::u16string_view syllable, EventList::iterator event,
                              std::int32_t width, std::int32_t offset) {
    if (m_lines.empty()) {
        newLine();
    }
    // "\" and "/" open a new line before the syllable, never an empty one.
    if (!syllable.empty() && (syllable.front() == u'\\' || syllable.front() == u'/')) {
        const char16_t mark = syllable.front();
        if (!m_currentLineText.empty()) {
            newLine();
            offset = 0;
        }
        if (mark == u'\\') {
            syllable.remove_prefix(1);
        } else {
            while (!syllable.empty() && syllable.front() == u'/') {
                syllable.remove_prefix(1);
            }
        }
    }
    // A trailing "/" closes the line after the syllable.
    bool lineEnds = false;
    if (!syllable.empty() && syllable.back() == u'/') {
        syllable.remove_suffix(1);
        lineEnds = true;
    }

    m_currentLineText += syllable;
    LyricLine& tail = m_lines.back();
    tail.width = width;
    tail.length = static_cast<std::int32_t>(m_currentLineText.size());
    event->line = &tail;
    event->lineOffset = offset;
    event->length = static_cast<std::int32_t>(syllable.size());
    if (lineEnds) {
        newLine();
    }

    if (m_previousEvent != m_events.end()) {
        const std::uint32_t rate = m_sampleRate == 0 ? 1 : m_sampleRate;
        const std::uint32_t gapSeconds = (static_cast<std::uint32_t>(event->sampleTime) -
                                          static_cast<std::uint32_t>(m_previousEvent->sampleTime)) /
                                         rate;
        if (gapSeconds > kLongPauseSeconds && !m_firstSyllable) {
            insertPauseMarkers(event);
        }
    }
    // The song's first line opens a page however late its first syllable comes.
    if (m_firstSyllable) {
        event->line->pageStart = 1;
        m_firstSyllable = false;
    }
    m_previousEvent = event;
}

void CLyrText::insertPauseMarkers(EventList::iterator event) {
    const SongEvent& previous = *m_previousEvent;
    const std::uint32_t lead = kMarkerLeadSeconds * m_sampleRate;
    auto marker = [&](std::uint8_t kind, std::int32_t time, LyricLine* line) {
        SongEvent added;
        added.sampleTime = time;
        added.marker = kind;
        added.line = line;
        m_events.insert(event, std::move(added));
        ++m_eventCount;
    };
    // The pause begins three seconds after the last syllable; the next picture is wiped in
    // over ten quarter-second steps from then on.
    const std::int32_t begins = addSamples(previous.sampleTime, lead);
    marker(kMarkerPauseBegins, begins, previous.line);
    std::int32_t wipeTime = begins;
    for (int step = 0; step < kWipeSteps; ++step) {
        marker(static_cast<std::uint8_t>(kFirstWipeMarker + step), wipeTime, previous.line);
        wipeTime = addSamples(wipeTime, m_sampleRate / 4);
    }
    // The next page shows three seconds before singing resumes.
    marker(kMarkerNextPage, addSamples(event->sampleTime, 0u - lead), event->line);
    event->marker = kMarkerPauseEnds;
    event->line->pageStart = 1;
}

void CLyrText::setLinesShown(std::int32_t linesCount, std::int32_t allScr, std::int32_t lAbove) {
    m_spaceAbove = lAbove;
    const std::int64_t available =
        static_cast<std::int64_t>(m_lyricArea.bottom) - lAbove - m_lyricArea.top;
    if (m_lineHeight <= 0) {
        // Nothing measurable was laid out: there is no line to show, and nothing to divide by.
        m_linesShown = 0;
        return;
    }
    if (allScr != 0) {
        m_linesShown =
            static_cast<std::int32_t>(std::max<std::int64_t>(available / m_lineHeight, 0));
        return;
    }
    m_linesShown = linesCount;
    while (m_linesShown > 1 && static_cast<std::int64_t>(m_linesShown) * m_lineHeight > available) {
        --m_linesShown;
    }
}

}  // namespace melodeck
