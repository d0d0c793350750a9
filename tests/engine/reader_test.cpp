// The MIDI file reader: which files are accepted, what each track gives, and how damaged
// files end.

#include <limits>

#include "engine_fixture.h"

namespace melodeck::test {
namespace {

using ReaderTest = EngineTest;

TEST_F(ReaderTest, WordsTrackTextsBecomeSyllablesInFileOrder) {
    const SongEvent* head = open(karaokeFile({{0, "Hel"}, {120, "lo "}, {480, "world"}}));
    ASSERT_EQ(head, &engine.events().front());
    EXPECT_FALSE(head->text.has_value());
    EXPECT_EQ(texts(), (std::vector<std::string>{"Hel", "lo ", "world"}));
    EXPECT_EQ(engine.eventCount(), static_cast<std::int32_t>(engine.events().size()));
    EXPECT_TRUE(notifier.messages().empty());
}

TEST_F(ReaderTest, FewerThanThreeTracksReadsHeaderOnly) {
    SmfBuilder smf;
    smf.header(1, 2).track().text("@Tconductor").endOfTrack().track().text("word").endOfTrack();
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(engine.eventCount(), 1);
    EXPECT_TRUE(engine.info().empty());
    EXPECT_TRUE(notifier.messages().empty());
    EXPECT_EQ(engine.trackCount(), 2);
}

TEST_F(ReaderTest, OnlyTheFirstThreeTracksAreRead) {
    SmfBuilder smf;
    smf.header(1, 16).track().endOfTrack();
    smf.track().trackName("one").text("@Tone").tempo(300000).endOfTrack();
    smf.track().text("two").endOfTrack();
    for (int i = 3; i < 16; ++i) {
        smf.track().trackName("later").text("later").endOfTrack();
    }
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(texts(), (std::vector<std::string>{"two"}));
    EXPECT_TRUE(engine.info().empty());
}

TEST_F(ReaderTest, ControlBytesOfATextBecomeDots) {
    ASSERT_NE(open(karaokeFile({{0, std::string("Hel\rlo")}})), nullptr);
    EXPECT_EQ(texts(), (std::vector<std::string>{"Hel.lo"}));
}

TEST_F(ReaderTest, EveryDeclaredByteBelowSpaceBecomesADotNulIncluded) {
    ASSERT_NE(open(karaokeFile({{0, std::string("a\0b\x1f", 4)}})), nullptr);
    EXPECT_EQ(texts(), (std::vector<std::string>{"a.b."}));
}

TEST_F(ReaderTest, EmptyTextOnWordsTrackIsAnEmptySyllable) {
    ASSERT_NE(open(karaokeFile({{0, ""}})), nullptr);
    ASSERT_EQ(engine.eventCount(), 2);  // the default tempo at tick 0 is not merged
    EXPECT_EQ(engine.events().back().text, std::optional<std::string>(""));
}

TEST_F(ReaderTest, TitleTextOnWordsTrackGoesToInformationNotSyllables) {
    ASSERT_NE(open(karaokeFile({{0, "@TMy song"}, {0, "@Lrest"}, {10, "la"}})), nullptr);
    EXPECT_EQ(texts(), (std::vector<std::string>{"la"}));
    EXPECT_EQ(info(), (std::vector<std::string>{"@TMy song"}));
}

TEST_F(ReaderTest, OtherAtTextsAreDiscardedOnEitherTrack) {
    SmfBuilder smf;
    smf.header(1, 3).track().text("@KKaraoke").text("plain").endOfTrack();
    smf.track().endOfTrack().track().text("@Ien").endOfTrack();
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(engine.eventCount(), 1);
    EXPECT_TRUE(engine.info().empty());
}

TEST_F(ReaderTest, LyricMetaEventsAreIgnored) {
    SmfBuilder smf;
    smf.header(1, 3).track().endOfTrack().track().endOfTrack();
    smf.track().lyric("sung").meta(0x02, "(c)").text("text").endOfTrack();
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(texts(), (std::vector<std::string>{"text"}));
}

TEST_F(ReaderTest, TrackNamesAreKeptUntilTheFirstTitleOfATrack) {
    SmfBuilder smf;
    smf.header(1, 3).track().trackName("Conductor").endOfTrack();
    smf.track().trackName("never read").endOfTrack();
    smf.track().trackName("Words").text("@TTitle").text("@TArtist").trackName("After").endOfTrack();
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(info(), (std::vector<std::string>{"@TTitle", "@TArtist", "After"}));
}

TEST_F(ReaderTest, TrackNamesAreCStringsAndEmptyOnesAreSkipped) {
    SmfBuilder smf;
    smf.header(1, 3).track().trackName(std::string("Name\0junk", 9)).endOfTrack();
    smf.track().endOfTrack().track().trackName("Words").trackName("").endOfTrack();
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(info(), (std::vector<std::string>{"Name", "Words"}));
}

TEST_F(ReaderTest, HeaderLongerThanSixHasItsExtraBytesSkipped) {
    SmfBuilder smf = karaokeFile({{0, "la"}});
    smf.headerExtra({1, 2, 3, 4});
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(texts(), (std::vector<std::string>{"la"}));
}

TEST_F(ReaderTest, SmpteDivisionIsFramesTimesTicksPerFrame) {
    ASSERT_NE(open(karaokeFile({{0, "a"}}, 0, 0xE728)), nullptr);
    EXPECT_EQ(engine.division(), 1000);
    ASSERT_NE(open(karaokeFile({{0, "a"}}, 0, 0xE280)), nullptr);
    EXPECT_EQ(engine.division(), 30 * 128);  // ticks per frame are unsigned
    ASSERT_NE(open(karaokeFile({{0, "a"}}, 0, 480)), nullptr);
    EXPECT_EQ(engine.division(), 480);
}

TEST_F(ReaderTest, NotMidiIsRefusedWithoutMessage) {
    EXPECT_EQ(open(SmfBuilder::Bytes{}), nullptr);
    EXPECT_EQ(open(SmfBuilder::Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 1, 0, 3, 1, 0xE0}),
              nullptr);
    SmfBuilder shortLength;
    shortLength.rawHeader({'M', 'T', 'h', 'd', 0, 0, 0, 5, 0, 1, 0, 3, 1, 0xE0});
    EXPECT_EQ(open(shortLength), nullptr);
    EXPECT_TRUE(notifier.messages().empty());
    EXPECT_EQ(engine.eventCount(), 0);
}

TEST_F(ReaderTest, HeaderCutShortIsRefusedKeepingWhatWasRead) {
    SmfBuilder smf;
    smf.rawHeader({'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 3, 1});
    EXPECT_EQ(open(smf), nullptr);
    EXPECT_TRUE(notifier.messages().empty());
    EXPECT_EQ(engine.format(), 1);
    EXPECT_EQ(engine.trackCount(), 3);
    EXPECT_EQ(engine.division(), 0);
}

TEST_F(ReaderTest, FormatOutsideZeroToTwoIsRefused) {
    SmfBuilder smf = karaokeFile({{0, "a"}});
    smf.header(3, 3);
    EXPECT_EQ(open(smf), nullptr);
    EXPECT_EQ(engine.format(), 3);
    smf.header(-1, 3);
    EXPECT_EQ(open(smf), nullptr);
    EXPECT_TRUE(notifier.messages().empty());
}

TEST_F(ReaderTest, MissingTrackIsATrackErrorKeepingInformation) {
    SmfBuilder smf;
    smf.header(1, 3).track().trackName("Kept").endOfTrack().track().endOfTrack();
    EXPECT_EQ(open(smf), nullptr);
    EXPECT_EQ(notifier.messages(), (std::vector<std::string>{"Error of track reading"}));
    EXPECT_EQ(engine.eventCount(), 0);
    EXPECT_TRUE(engine.events().empty());
    EXPECT_EQ(info(), (std::vector<std::string>{"Kept"}));
}

TEST_F(ReaderTest, ChunkThatIsNotATrackIsATrackError) {
    SmfBuilder smf;
    smf.header(1, 3).track().endOfTrack().track("MThd").endOfTrack().track().endOfTrack();
    EXPECT_EQ(open(smf), nullptr);
    EXPECT_EQ(notifier.messages(), (std::vector<std::string>{"Error of track reading"}));
}

TEST_F(ReaderTest, WordsTrackWithoutEndOfTrackIsATrackError) {
    SmfBuilder smf;
    smf.header(1, 3).track().endOfTrack().track().endOfTrack().track().text("la");
    EXPECT_EQ(open(smf), nullptr);
    EXPECT_EQ(notifier.messages(), (std::vector<std::string>{"Error of track reading"}));
}

TEST_F(ReaderTest, ConductorWithoutEndOfTrackIsAcceptedWhenTheFileEnds) {
    // The conductor's scan runs to the end of the file, so the later chunks are found by
    // its declared length.
    SmfBuilder smf;
    smf.header(1, 3).track().tempo(400000).track().endOfTrack().track().text("la").endOfTrack();
    ASSERT_NE(open(smf), nullptr);
    EXPECT_TRUE(notifier.messages().empty());
    EXPECT_EQ(texts(), (std::vector<std::string>{"la"}));
}

TEST_F(ReaderTest, NextTrackIsSoughtByTheDeclaredLength) {
    // Track 0 declares 4 bytes more than it holds: track 1 is then sought inside junk and
    // the file is refused.
    SmfBuilder smf;
    smf.header(1, 3).track().endOfTrack().declaredLength(8);
    smf.track().endOfTrack().track().text("la").endOfTrack();
    EXPECT_EQ(open(smf), nullptr);
    EXPECT_EQ(notifier.messages(), (std::vector<std::string>{"Error of track reading"}));
}

TEST_F(ReaderTest, ScanGoesOnPastTheDeclaredLengthUntilEndOfTrack) {
    SmfBuilder smf;
    smf.header(1, 3).track().endOfTrack().track().endOfTrack();
    smf.track().text("one").text("two").endOfTrack().declaredLength(0);
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(texts(), (std::vector<std::string>{"one", "two"}));
}

TEST_F(ReaderTest, NoteEventsBetweenTextsAreSkipped) {
    SmfBuilder smf;
    smf.header(1, 3).track().endOfTrack().track().endOfTrack().track();
    smf.text("one").delta(10).noteOn(0, 60, 100).running({62, 100}).programChange(1, 5);
    smf.running({7}).sysex("\x7e\x7f\x09\x01\xf7").event({0xF8}).event({0xF2}).text("two");
    smf.endOfTrack();
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(texts(), (std::vector<std::string>{"one", "two"}));
}

TEST_F(ReaderTest, RunningStatusSkipsOnlyTheRemainingDataBytes) {
    SmfBuilder smf;
    smf.header(1, 3).track().endOfTrack().track().endOfTrack().track();
    smf.noteOn(0, 60, 100).running({62, 100}).text("one");
    smf.programChange(0, 1).running({5}).text("two");
    smf.event({0xD2, 64}).running({32}).text("three").endOfTrack();  // channel pressure
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(texts(), (std::vector<std::string>{"one", "two", "three"}));
}

TEST_F(ReaderTest, DataByteWithoutRunningStatusIsSkippedAlone) {
    SmfBuilder smf;
    smf.header(1, 3).track().endOfTrack().track().endOfTrack().track();
    smf.event({0x40}).text("one").endOfTrack();
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(texts(), (std::vector<std::string>{"one"}));
}

TEST_F(ReaderTest, TickArithmeticWrapsAtThirtyTwoBits) {
    SmfBuilder smf;
    smf.header(1, 3).track().endOfTrack().track().endOfTrack().track();
    smf.delta(0xF0000000u).text("a").delta(0x20000000u).text("b").endOfTrack();
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(findText("a")->tick, static_cast<std::int32_t>(0xF0000000u));
    EXPECT_EQ(findText("b")->tick, 0x10000000);
}

TEST_F(ReaderTest, VariableLengthHasNoByteLimit) {
    // Seven continuation bytes: the value keeps only its low 32 bits.
    SmfBuilder smf;
    smf.header(1, 3).track().endOfTrack().track().endOfTrack().track();
    smf.raw({0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x01}).raw({0xFF, 0x01, 0x01, 'x'}).endOfTrack();
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(findText("x")->tick, 1);
}

TEST_F(ReaderTest, TextLongerThanTheRestOfTheFileIsDroppedWithoutAllocating) {
    // Declared as 0xFFFFFFFF bytes: length + 1 would wrap to 0.
    SmfBuilder smf;
    smf.header(1, 3).track().trackName("kept").metaDeclared(0x03, 0xFFFFFFFFu, "abc");
    smf.track().endOfTrack().track().endOfTrack();
    ASSERT_NE(open(smf), nullptr);  // the conductor may end with the file
    EXPECT_EQ(info(), (std::vector<std::string>{"kept"}));

    SmfBuilder words;
    words.header(1, 3).track().endOfTrack().track().endOfTrack();
    words.track().text("one").metaDeclared(0x01, 0x7FFFFFF0u, "two").endOfTrack();
    EXPECT_EQ(open(words), nullptr);  // the words track ran into the end of the file
    EXPECT_EQ(notifier.messages().back(), "Error of track reading");
}

TEST_F(ReaderTest, TextCutShortByTheEndOfTheFileIsDropped) {
    // The file ends inside the conductor: the title cut short is dropped, the conductor is
    // accepted, and track 1 is missing, which keeps the information read so far.
    SmfBuilder smf;
    smf.header(1, 3).track().text("@Tfull").text("@Tcut short");
    EXPECT_EQ(open(smf.truncated(3)), nullptr);
    EXPECT_EQ(info(), (std::vector<std::string>{"@Tfull"}));
    EXPECT_EQ(notifier.messages(), (std::vector<std::string>{"Error of track reading"}));
}

TEST_F(ReaderTest, HugeSkipsStopAtTheEndOfTheFile) {
    SmfBuilder smf;
    smf.header(1, 3).headerExtra({0xFF});
    smf.track().endOfTrack().track().endOfTrack().track().text("x").endOfTrack();
    auto bytes = smf.build();
    bytes[4] = 0xFF;  // a header length of nearly 4 GiB
    EXPECT_EQ(open(bytes), nullptr);
    EXPECT_EQ(notifier.messages(), (std::vector<std::string>{"Error of track reading"}));

    SmfBuilder sysex;
    sysex.header(1, 3).track().endOfTrack().track().endOfTrack();
    sysex.track().raw({0x00, 0xF0, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F});
    EXPECT_EQ(open(sysex), nullptr);
}

TEST_F(ReaderTest, OpeningAgainReplacesThePreviousSong) {
    ASSERT_NE(open(karaokeFile({{0, "@Tfirst"}, {0, "one"}})), nullptr);
    engine.layoutSong(canvas, Rect{0, 0, 240, 200});
    ASSERT_NE(open(karaokeFile({{0, "two"}})), nullptr);
    EXPECT_EQ(texts(), (std::vector<std::string>{"two"}));
    EXPECT_TRUE(engine.info().empty());
    EXPECT_TRUE(engine.lines().empty());
    EXPECT_EQ(engine.cursor(), nullptr);
}

// ---- Tempo list and merge ----------------------------------------------------------------

std::vector<std::pair<std::int32_t, std::uint32_t>> tempoEvents(const CLyrText& engine) {
    std::vector<std::pair<std::int32_t, std::uint32_t>> out;
    for (const SongEvent& e : engine.events()) {
        if (e.tempo != 0) {
            out.emplace_back(e.tick, e.tempo);
        }
    }
    return out;
}

TEST_F(ReaderTest, DefaultTempoIsMergedBeforeTheFirstLaterSyllable) {
    ASSERT_NE(open(karaokeFile({{10, "a"}})), nullptr);
    ASSERT_EQ(engine.eventCount(), 3);
    EXPECT_EQ(event(1).tempo, 500000u);
    EXPECT_EQ(event(1).tick, 0);
    EXPECT_FALSE(event(1).text.has_value());
    EXPECT_EQ(event(2).text, std::optional<std::string>("a"));
}

TEST_F(ReaderTest, FirstSetTempoReplacesDefaultAtTickZero) {
    SmfBuilder smf;
    smf.header(1, 3).track().delta(960).tempo(400000).endOfTrack();
    smf.track().endOfTrack().track().delta(2000).text("a").endOfTrack();
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(tempoEvents(engine),
              (std::vector<std::pair<std::int32_t, std::uint32_t>>{{0, 400000}}));
}

TEST_F(ReaderTest, LaterSetTemposAddEntriesAtTheirTicks) {
    SmfBuilder smf;
    smf.header(1, 3).track().tempo(400000).delta(480).tempo(250000).endOfTrack();
    smf.track().endOfTrack().track().delta(100).text("a").delta(900).text("b").endOfTrack();
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(tempoEvents(engine),
              (std::vector<std::pair<std::int32_t, std::uint32_t>>{{0, 400000}, {480, 250000}}));
    EXPECT_EQ(texts(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(event(3).tempo, 250000u);  // between a (100) and b (1000)
}

TEST_F(ReaderTest, TempoAtASyllablesTickFollowsIt) {
    SmfBuilder smf;
    smf.header(1, 3).track().tempo(400000).delta(480).tempo(250000).endOfTrack();
    smf.track().endOfTrack().track().delta(480).text("a").delta(10).text("b").endOfTrack();
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(event(2).text, std::optional<std::string>("a"));
    EXPECT_EQ(event(3).tempo, 250000u);
    EXPECT_EQ(event(4).text, std::optional<std::string>("b"));
}

TEST_F(ReaderTest, TempoChangesAfterTheLastSyllableAreNotMerged) {
    SmfBuilder smf;
    smf.header(1, 3).track().tempo(400000).delta(1000).tempo(300000).endOfTrack();
    smf.track().endOfTrack().track().delta(10).text("a").endOfTrack();
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(tempoEvents(engine),
              (std::vector<std::pair<std::int32_t, std::uint32_t>>{{0, 400000}}));
    EXPECT_EQ(engine.eventCount(), 3);
}

TEST_F(ReaderTest, WordsTracksFirstTempoOverwritesTheLastEntry) {
    SmfBuilder smf;
    smf.header(1, 3).track().tempo(400000).delta(480).tempo(300000).endOfTrack();
    smf.track().endOfTrack();
    smf.track().delta(10).text("a").tempo(200000).delta(990).text("b").endOfTrack();
    ASSERT_NE(open(smf), nullptr);
    // Track 2's first tempo replaces track 0's entry at 480 by one at tick 0.
    EXPECT_EQ(tempoEvents(engine),
              (std::vector<std::pair<std::int32_t, std::uint32_t>>{{0, 400000}, {0, 200000}}));
}

TEST_F(ReaderTest, SetTempoOfZeroIsIgnoredAndDoesNotCountAsFirst) {
    SmfBuilder smf;
    smf.header(1, 3).track().tempo(0).delta(480).tempo(300000).endOfTrack();
    smf.track().endOfTrack().track().delta(1000).text("a").endOfTrack();
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(tempoEvents(engine),
              (std::vector<std::pair<std::int32_t, std::uint32_t>>{{0, 300000}}));
}

TEST_F(ReaderTest, SetTempoReadsThreeBytesWhateverItsDeclaredLength) {
    SmfBuilder smf;
    smf.header(1, 3).track().metaDeclared(0x51, 0, "\x06\x1a\x80").endOfTrack();
    smf.track().endOfTrack().track().delta(10).text("a").endOfTrack();
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(tempoEvents(engine),
              (std::vector<std::pair<std::int32_t, std::uint32_t>>{{0, 400000}}));
}

}  // namespace
}  // namespace melodeck::test

namespace melodeck::test {
namespace {

// A stream that runs out of memory after a number of reads.
class StarvingStream : public ByteStream {
public:
    StarvingStream(const SmfBuilder::Bytes& bytes, int readsBeforeFailure)
        : m_inner(bytes), m_reads(readsBeforeFailure) {}
    std::size_t read(void* dst, std::size_t size) override {
        if (--m_reads < 0) {
            throw std::bad_alloc();
        }
        return m_inner.read(dst, size);
    }
    std::int64_t position() const override { return m_inner.position(); }
    void setPosition(std::int64_t pos) override { m_inner.setPosition(pos); }

private:
    MemoryStream m_inner;
    int m_reads;
};

TEST_F(ReaderTest, OutOfMemoryWhileReadingAbandonsTheSong) {
    SmfBuilder smf = karaokeFile({{0, "@TTitle"}, {10, "one"}, {20, "two"}});
    const SmfBuilder::Bytes bytes = smf.build();
    StarvingStream stream(bytes, 20);
    EXPECT_EQ(engine.openSong(stream), nullptr);
    EXPECT_EQ(notifier.messages(), (std::vector<std::string>{"Insufficient memory available"}));
    EXPECT_EQ(engine.eventCount(), 0);
    EXPECT_TRUE(engine.events().empty());
}

}  // namespace
}  // namespace melodeck::test
