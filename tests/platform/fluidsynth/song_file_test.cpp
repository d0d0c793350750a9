// The song facts the synthesizer takes from a file before playing it (length, first
// syllable, title), the note transposer, and their safety on bytes that are no song.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#include <sys/stat.h>

#include "byte_stream.h"
#include "engine/smf_builder.h"
#include "fixed_width_canvas.h"
#include "lyr_text.h"
#include "mid_title.h"
#include "note_transposer.h"
#include "song_timeline.h"
#include "support/temp_dir.h"

namespace melodeck {
namespace {

using test::SmfBuilder;

constexpr std::uint32_t kRate = 22050;

std::filesystem::path writeFile(const test::TempDir& dir, const std::string& name,
                                const SmfBuilder::Bytes& bytes) {
    const auto path = dir.path() / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

// ---- Timeline ---------------------------------------------------------------------------

TEST(SongTimeline, LengthFollowsTempoChangesOfAnyTrack) {
    // One second at 120 bpm (960 ticks), then the second track doubles the tempo for 960 more.
    const auto bytes = SmfBuilder()
                           .header(1, 3)
                           .track()
                           .endOfTrack()
                           .track()
                           .delta(960)
                           .tempo(250000)
                           .delta(960)
                           .endOfTrack()
                           .track()
                           .endOfTrack()
                           .build();
    const auto timeline = SongTimeline::read(bytes);
    ASSERT_TRUE(timeline);
    EXPECT_EQ(timeline->endTick(), 1920);
    EXPECT_EQ(timeline->samplesAt(960, kRate), 22050);
    EXPECT_EQ(timeline->samplesAt(1920, kRate), 22050 + 11025);
}

TEST(SongTimeline, FirstSyllableIsThirdTracksFirstTextWithoutAt) {
    auto smf = SmfBuilder().header(1, 3).track().text("Intro").endOfTrack();
    smf.track().delta(100).text("Not words").endOfTrack();
    smf.track()
        .text("@KMIDI KARAOKE FILE")
        .text("@TTitle")
        .delta(480)
        .text("")
        .delta(480)
        .text("Hel")
        .endOfTrack();
    const auto timeline = SongTimeline::read(smf.build());
    ASSERT_TRUE(timeline);
    ASSERT_TRUE(timeline->firstSyllableTick());
    EXPECT_EQ(*timeline->firstSyllableTick(), 480);  // the empty text counts
}

TEST(SongTimeline, NoSyllableWithFewerThanThreeDeclaredTracks) {
    // The third chunk is there, but the header declares two tracks: the engine reads none.
    auto smf = SmfBuilder().header(1, 2).track().endOfTrack().track().endOfTrack();
    smf.track().delta(480).text("Hel").endOfTrack();
    const auto timeline = SongTimeline::read(smf.build());
    ASSERT_TRUE(timeline);
    EXPECT_FALSE(timeline->firstSyllableTick());
    EXPECT_EQ(timeline->endTick(), 480);
}

TEST(SongTimeline, RefusesWhatIsNoPlayableMidiFile) {
    EXPECT_FALSE(SongTimeline::read(SmfBuilder::Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0}));
    EXPECT_FALSE(SongTimeline::read(
        SmfBuilder().header(1, 1, 0).track().endOfTrack().build()));  // division 0
    EXPECT_FALSE(SongTimeline::read(SmfBuilder().header(3, 1).track().endOfTrack().build()));
    EXPECT_FALSE(SongTimeline::read(SmfBuilder().header(1, 1).truncated(1)));
}

TEST(SongTimeline, SmpteDivisionCountsTicksPerSecond) {
    // 25 frames of 40 ticks: 1000 ticks a second whatever the tempo.
    const auto bytes =
        SmfBuilder().header(0, 1, 0xE728).track().tempo(250000).delta(2000).endOfTrack().build();
    const auto timeline = SongTimeline::read(bytes);
    ASSERT_TRUE(timeline);
    EXPECT_EQ(timeline->samplesAt(timeline->endTick(), kRate), 2 * 22050);
}

TEST(SongTimeline, CutAndMalformedTracksCountAsFarAsTheyRead) {
    // A declared length past the end of the file, then a data byte with no running status.
    auto smf = SmfBuilder().header(1, 2).track().delta(480).noteOn(0, 60, 100).endOfTrack();
    smf.track().declaredLength(100000).delta(960).running({0x40, 0x40});
    const auto timeline = SongTimeline::read(smf.build());
    ASSERT_TRUE(timeline);
    EXPECT_EQ(timeline->endTick(), 960);
}

// The synthesizer sends SYNC when the first syllable is heard; the lyric clock assumes that
// moment is the song engine's own time of that syllable.
TEST(SongTimeline, FirstSyllableFallsWhereTheSongEngineTimesIt) {
    std::vector<SmfBuilder::Bytes> songs;
    auto tempos =
        SmfBuilder().header(1, 3).track().tempo(600000).delta(700).tempo(431000).delta(1000).tempo(
            900000);
    tempos.endOfTrack()
        .track()
        .endOfTrack()
        .track()
        .delta(3001)
        .text("la")
        .delta(5)
        .text("la")
        .endOfTrack();
    songs.push_back(tempos.build());
    const char* sourceDir = std::getenv("MELODECK_SOURCE_DIR");
    ASSERT_NE(sourceDir, nullptr);
    std::ifstream demo(std::filesystem::path(sourceDir) / "data/KaraokeFiles/Oh_Susanna.kar",
                       std::ios::binary);
    songs.emplace_back(std::istreambuf_iterator<char>(demo), std::istreambuf_iterator<char>());

    for (const auto& bytes : songs) {
        RecordingNotifier notifier;
        CLyrText engine(notifier);
        MemoryStream stream(bytes);
        ASSERT_NE(engine.openSong(stream), nullptr);
        engine.setSampleRate(kRate);
        engine.layoutSong(FixedWidthCanvas(8, 16), Rect{0, 0, 640, 400});
        const auto timeline = SongTimeline::read(bytes);
        ASSERT_TRUE(timeline && timeline->firstSyllableTick());
        EXPECT_NEAR(timeline->samplesAt(*timeline->firstSyllableTick(), kRate),
                    engine.firstLyricTime(), 2);
    }
}

TEST(SongTimeline, ArbitraryBytesNeverCrash) {
    std::mt19937 random(7);
    const auto song = SmfBuilder()
                          .header(1, 3)
                          .track()
                          .tempo(400000)
                          .endOfTrack()
                          .track()
                          .noteOn(0, 60, 90)
                          .delta(480)
                          .noteOn(0, 60, 0)
                          .endOfTrack()
                          .track()
                          .text("@TT")
                          .delta(10)
                          .text("la")
                          .endOfTrack()
                          .build();
    for (int round = 0; round < 2000; ++round) {
        auto bytes = song;
        for (int flips = 0; flips < 4; ++flips)
            bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
        bytes.resize(random() % (bytes.size() + 1));
        if (const auto timeline = SongTimeline::read(bytes))
            timeline->samplesAt(timeline->endTick(), kRate);
    }
}

// ---- Title ------------------------------------------------------------------------------

TEST(MidTitle, FirstAtTTextWinsOverTrackNames) {
    test::TempDir dir;
    auto smf = SmfBuilder().header(1, 3).track().trackName("Conductor").endOfTrack();
    smf.track().trackName("Piano").endOfTrack();
    smf.track().text("@LENGL").text("@TOh Susanna").text("@TStephen Foster").endOfTrack();
    EXPECT_EQ(readMidTitle(writeFile(dir, "a.kar", smf.build())), u"Oh Susanna");
}

TEST(MidTitle, FallsBackToFirstTracksFirstName) {
    test::TempDir dir;
    auto smf = SmfBuilder()
                   .header(1, 2)
                   .track()
                   .text("Just text")
                   .trackName("Song")
                   .trackName("Other")
                   .endOfTrack();
    smf.track().trackName("Piano").endOfTrack();
    EXPECT_EQ(readMidTitle(writeFile(dir, "b.mid", smf.build())), u"Song");

    auto unnamed =
        SmfBuilder().header(1, 2).track().endOfTrack().track().trackName("Piano").endOfTrack();
    EXPECT_EQ(readMidTitle(writeFile(dir, "c.mid", unnamed.build())), u"");
}

TEST(MidTitle, KeepsBytesAsCharactersDropsControlsAndStopsAt257) {
    test::TempDir dir;
    const std::string longTitle = "@T\xC0\xE1\r" + std::string(300, 'x');
    const auto bytes = SmfBuilder().header(0, 1).track().text(longTitle).endOfTrack().build();
    const std::u16string title = readMidTitle(writeFile(dir, "d.kar", bytes));
    ASSERT_EQ(title.size(), kMaxTitleLength);
    EXPECT_EQ(title[0], u'\u00C0');
    EXPECT_EQ(title[1], u'\u00E1');
    EXPECT_EQ(title[2], u'x');
}

TEST(MidTitle, NoTitleFromMissingOrBrokenFiles) {
    test::TempDir dir;
    EXPECT_EQ(readMidTitle(dir.path() / "missing.kar"), u"");
    EXPECT_EQ(readMidTitle(dir.path()), u"");
    ASSERT_EQ(mkfifo((dir.path() / "pipe.kar").c_str(), 0600), 0);
    EXPECT_EQ(readMidTitle(dir.path() / "pipe.kar"), u"");  // returns instead of waiting
    EXPECT_EQ(readMidTitle(writeFile(dir, "e.kar", {'M', 'T', 'h', 'd'})), u"");
    // A title cut short by the end of the file is not read past it.
    const auto cut = SmfBuilder()
                         .header(0, 1)
                         .track()
                         .declaredLength(4000)
                         .metaDeclared(0x01, 3000, "@TAb")
                         .build();
    EXPECT_EQ(readMidTitle(writeFile(dir, "f.kar", cut)), u"");
}

// ---- Transposer -------------------------------------------------------------------------

TEST(NoteTransposer, NoteOffReleasesTheKeyItsNoteOnSounded) {
    NoteTransposer t;
    t.shiftBy(2, [](int, int, int, int) {});
    EXPECT_EQ(t.noteOn(0, 60, 100), 62);
    t.shiftBy(3, [](int, int, int, int) {});
    EXPECT_EQ(t.noteOn(1, 60, 100), 65);
    EXPECT_EQ(t.noteOff(1, 60), 65);
    EXPECT_EQ(t.noteOff(1, 60), 65);  // unmatched note-off: the current shift
}

TEST(NoteTransposer, ShiftRetunesSoundingNotesButNotDrums) {
    NoteTransposer t;
    t.noteOn(0, 60, 100);
    t.noteOn(NoteTransposer::kDrumChannel, 38, 90);
    std::vector<std::array<int, 4>> retuned;
    t.shiftBy(-1, [&](int c, int o, int n, int v) { retuned.push_back({c, o, n, v}); });
    ASSERT_EQ(retuned.size(), 1u);
    EXPECT_EQ(retuned[0], (std::array<int, 4>{0, 60, 59, 100}));
    EXPECT_EQ(t.noteOff(0, 60), 59);
    EXPECT_EQ(t.noteOn(NoteTransposer::kDrumChannel, 38, 90), 38);
}

TEST(NoteTransposer, KeysPushedOutOfRangeFallSilentAndComeBack) {
    NoteTransposer t;
    t.noteOn(0, 120, 80);
    std::vector<std::array<int, 4>> retuned;
    const auto record = [&](int c, int o, int n, int v) { retuned.push_back({c, o, n, v}); };
    t.shiftBy(12, record);
    t.shiftBy(-12, record);
    ASSERT_EQ(retuned.size(), 2u);
    EXPECT_EQ(retuned[0][2], NoteTransposer::kSilent);
    EXPECT_EQ(retuned[1], (std::array<int, 4>{0, NoteTransposer::kSilent, 120, 80}));
    t.forget(0);
    t.shiftBy(1, [&](int, int, int, int) { FAIL() << "forgotten notes are not retuned"; });
}

}  // namespace
}  // namespace melodeck
