#pragma once

// Shared test fixture: an engine that records its paints, with helpers to open built files
// and to look at the event list.

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "byte_stream.h"
#include "fixed_width_canvas.h"
#include "lyr_text.h"
#include "notifier.h"
#include "smf_builder.h"

namespace melodeck::test {

// Exposes the layout's parts and records what advanceTo paints.
class TestLyrText : public CLyrText {
public:
    using CLyrText::appendSyllable;
    using CLyrText::CLyrText;
    using CLyrText::mutableEvents;
    using CLyrText::newLine;

    struct Paint {
        std::int32_t sampleTime;
        std::uint8_t marker;
        std::string text;
    };
    std::vector<Paint> paints;
    int clears = 0;
    int pictureChanges = 0;
    bool hasPictures = false;

protected:
    void paintEvent(bool) override {
        const SongEvent* event = cursor();
        paints.push_back({event->sampleTime, event->marker, event->text.value_or("")});
    }
    bool changePictureAtBreak() override {
        ++pictureChanges;
        return hasPictures;
    }
    void clearLyricArea() override { ++clears; }
};

class EngineTest : public ::testing::Test {
protected:
    const SongEvent* open(const SmfBuilder::Bytes& bytes) {
        MemoryStream stream(bytes);
        return engine.openSong(stream);
    }
    const SongEvent* open(const SmfBuilder& smf) { return open(smf.build()); }

    // Opens and lays out with the fixed-width canvas (10 px characters, 20 px lines).
    void openAndLayOut(const SmfBuilder& smf, std::int32_t width = 240) {
        ASSERT_NE(open(smf), nullptr);
        engine.layoutSong(canvas, Rect{0, 0, width, 200});
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const SongEvent& e : engine.events()) {
            if (e.text) {
                out.push_back(*e.text);
            }
        }
        return out;
    }
    std::vector<std::u16string> lineTexts() const {
        std::vector<std::u16string> out;
        for (const LyricLine& line : engine.lines()) {
            out.push_back(line.text);
        }
        return out;
    }
    std::vector<std::string> info() const {
        std::vector<std::string> out;
        for (const InfoEntry& entry : engine.info()) {
            out.push_back(entry.text);
        }
        return out;
    }
    const SongEvent& event(std::size_t index) const {
        return *std::next(engine.events().begin(), static_cast<std::ptrdiff_t>(index));
    }
    const SongEvent* findText(std::string_view text) const {
        for (const SongEvent& e : engine.events()) {
            if (e.text && *e.text == text) {
                return &e;
            }
        }
        return nullptr;
    }
    std::size_t indexOfLine(const LyricLine* line) const {
        std::size_t i = 0;
        for (const LyricLine& l : engine.lines()) {
            if (&l == line) {
                return i;
            }
            ++i;
        }
        return static_cast<std::size_t>(-1);
    }

    RecordingNotifier notifier;
    TestLyrText engine{notifier};
    FixedWidthCanvas canvas{10, 20};
};

}  // namespace melodeck::test
