#include <algorithm>
#include <filesystem>

#include "player_fixture.h"

namespace melodeck::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using PlaybackTest = PlayerTest;

// ---- Moving through the list ----------------------------------------------------------------

TEST_F(PlaybackTest, NextWrapsToTheFirstSongAndPreviousToTheLast) {
    auto& c = startWithSongs(3);
    ASSERT_EQ(currentName(), "s0.kar");
    c.PreviousSong();
    EXPECT_EQ(currentName(), "s2.kar");
    EXPECT_EQ(screen.selected, 2);
    c.NextSong();
    EXPECT_EQ(currentName(), "s0.kar");
    EXPECT_EQ(screen.currentItems(), std::vector<int>{0});
    // Stopped: moving the mark plays nothing.
    EXPECT_THAT(fake->played(), IsEmpty());
}

TEST_F(PlaybackTest, NextWhilePlayingPlaysTheNewCurrentSong) {
    auto& c = startWithSongs(2);
    c.PlayCommand();
    c.NextSong();
    EXPECT_EQ(playedLast(), "s1.kar");
}

TEST_F(PlaybackTest, PreviousIsIgnoredOnceMoreThanTwoSecondsWereShown) {
    auto& c = startWithSongs(3);
    c.NextSong();
    c.PlayCommand();
    fake->emit(SYNTH_MSG_POSITION, 3);
    c.PreviousSong();
    EXPECT_EQ(currentName(), "s1.kar");

    fake->emit(SYNTH_MSG_POSITION, 2);
    c.PreviousSong();
    EXPECT_EQ(currentName(), "s0.kar");
    EXPECT_EQ(playedLast(), "s0.kar");
}

// ---- The end of a song -------------------------------------------------------------------

TEST_F(PlaybackTest, FinishedSongAdvancesAndTheLastGoesOnToTheFirst) {
    auto& c = startWithSongs(2);
    c.PlayCommand();
    fake->emitSong(2, 100, 22050);
    EXPECT_EQ(currentName(), "s1.kar");
    EXPECT_EQ(playedLast(), "s1.kar");
    fake->emitSong(2, 100, 22050);
    EXPECT_EQ(currentName(), "s0.kar");
    EXPECT_EQ(playedLast(), "s0.kar");
    EXPECT_EQ(fake->played().size(), 3u);
}

TEST_F(PlaybackTest, RepeatPlaysTheSameSongAgain) {
    auto& c = startWithSongs(2);
    doc->Repeat = 1;
    c.PlayCommand();
    fake->emitSong(1, 100, 22050);
    EXPECT_EQ(currentName(), "s0.kar");
    EXPECT_EQ(fake->played().size(), 2u);
    EXPECT_EQ(playedLast(), "s0.kar");
}

TEST_F(PlaybackTest, StopWhilePausedResumesFirstAndTheEndThatFollowsDoesNotAdvance) {
    auto& c = startWithSongs(2);
    c.PlayCommand();
    c.PauseCommand();
    ASSERT_EQ(fake->timid_get_status(), SynthStatus::Paused);
    frame.take();
    c.StopCommand();
    const auto& calls = fake->calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "timid_pause");
    EXPECT_EQ(calls.back(), "timid_stop");
    EXPECT_TRUE(screen.listVisible);
    EXPECT_THAT(frame.take(), ElementsAre("list toolbar", "stopped 2"));

    deliver();  // ENDED
    EXPECT_EQ(currentName(), "s0.kar");
    EXPECT_EQ(fake->played().size(), 1u);
    EXPECT_FALSE(c.isStopRequested());
}

TEST_F(PlaybackTest, EndedWithoutStopDoesNotAdvanceEither) {
    auto& c = startWithSongs(2);
    c.PlayCommand();
    fake->emit(SYNTH_MSG_ENDED);
    EXPECT_EQ(currentName(), "s0.kar");
    EXPECT_EQ(fake->played().size(), 1u);
}

// ---- Commands and the frame ----------------------------------------------------------------

TEST_F(PlaybackTest, PlayAndStopDriveToolbarsAndCommandStates) {
    auto& c = startWithSongs(2);
    c.PlayCommand();
    EXPECT_THAT(frame.take(), ElementsAre("player toolbar", "playback on", "editing off"));
    EXPECT_FALSE(screen.listVisible);

    fake->emit(SYNTH_MSG_STARTED);
    EXPECT_THAT(frame.take(), ElementsAre("playback on", "editing off"));
    fake->emit(SYNTH_MSG_CONTROLS_OFF_2);
    EXPECT_THAT(frame.take(), ElementsAre("all off"));

    c.StopCommand();
    EXPECT_THAT(frame.take(), ElementsAre("list toolbar", "stopped 2"));
}

TEST_F(PlaybackTest, SongEndSwapsBackToTheListAndMarksTheNextSong) {
    auto& c = startWithSongs(2);
    c.PlayCommand();
    frame.take();
    fake->setStatus(SynthStatus::Stopped);
    fake->emit(SYNTH_MSG_FINISHED);
    // Clearing the finished song switches the commands off; marking and playing the next
    // one brings the list's commands back before the new song hides the list again.
    EXPECT_THAT(frame.take(),
                ElementsAre("stopped 2", "items 2 selected", "all off", "list toolbar",
                            "items 2 selected", "all off", "items 2 selected", "player toolbar"));
}

TEST_F(PlaybackTest, PauseTogglesAndShowsTheImageOfTheNextPress) {
    auto& c = startWithSongs(1);
    c.PauseCommand();  // stopped: plays
    EXPECT_EQ(fake->timid_get_status(), SynthStatus::Playing);
    frame.take();
    c.PauseCommand();
    EXPECT_EQ(fake->timid_get_status(), SynthStatus::Paused);
    EXPECT_THAT(frame.take(), ElementsAre("play image", "playback on"));
    c.PauseCommand();
    EXPECT_EQ(fake->timid_get_status(), SynthStatus::Playing);
    EXPECT_THAT(frame.take(), ElementsAre("pause image", "playback on"));
}

TEST_F(PlaybackTest, PlayAndPauseDoNothingWithAnEmptyList) {
    auto& c = start();
    c.PlayCommand();
    c.PauseCommand();
    EXPECT_THAT(fake->played(), IsEmpty());
    EXPECT_THAT(frame.take(), IsEmpty());
}

TEST_F(PlaybackTest, AMissingSongIsReportedAndStillHandedToTheLibrary) {
    auto& c = startWithSongs(1);
    std::filesystem::remove(songs.path() / "s0.kar");
    c.PlayCommand();
    EXPECT_THAT(notifier.messages(), ElementsAre("File not found"));
    EXPECT_EQ(playedLast(), "s0.kar");
}

// ---- Tone, tempo, volume -------------------------------------------------------------------

TEST_F(PlaybackTest, VolumeStepsAtABoundStillCount) {
    auto& c = startWithSongs(1);
    ASSERT_EQ(volume.volume(), 0xFFFFFFFFu);
    c.VolumeUp();
    EXPECT_EQ(volume.volume(), 0xFFFFFFFFu);
    EXPECT_EQ(c.volumeSteps(), 1);
    c.VolumeDown();
    EXPECT_EQ(volume.volume(), ((65535u - 1092u) << 16) | (65535u - 1092u));
    for (int i = 0; i < 60; ++i) c.VolumeDown();
    EXPECT_EQ(volume.volume(), 0u);
    EXPECT_EQ(c.volumeSteps(), -60);
}

TEST_F(PlaybackTest, ToneAndTempoCountsAreRestoredAndAppliedWhenTheDisplayStarts) {
    doc->iTon = 2;
    doc->iTemp = -3;
    doc->iVol = 7;
    auto& c = startWithSongs(1);
    EXPECT_EQ(c.toneSteps(), 2);
    EXPECT_EQ(c.tempoSteps(), -3);
    EXPECT_EQ(c.volumeSteps(), 0);

    c.PlayCommand();
    EXPECT_EQ(fake->pitch(), 0);
    fake->emit(SYNTH_MSG_TICK, 0);
    EXPECT_TRUE(c.displayActive());
    EXPECT_EQ(fake->pitch(), 2);
    EXPECT_EQ(fake->timid_get_hwaveout()->playbackRate(), kNormalPlaybackRate - 3 * 1024);
    // Only the first report starts the display.
    fake->emit(SYNTH_MSG_TICK, 100);
    EXPECT_EQ(fake->pitch(), 2);

    c.TempoUp();
    c.ToneDown();
    EXPECT_EQ(fake->timid_get_hwaveout()->playbackRate(), kNormalPlaybackRate - 2 * 1024);
    EXPECT_EQ(fake->pitch(), 1);
}

TEST_F(PlaybackTest, ATempoThatWouldStopTheOutputIsNotPassedOn) {
    doc->iTemp = -64;
    auto& c = startWithSongs(1);
    c.PlayCommand();
    fake->emit(SYNTH_MSG_TICK, 0);
    EXPECT_EQ(fake->timid_get_hwaveout()->playbackRate(), kNormalPlaybackRate);
    c.TempoUp();  // -63: 1024, a real speed again
    EXPECT_EQ(fake->timid_get_hwaveout()->playbackRate(), kNormalPlaybackRate + 1024);
    EXPECT_EQ(c.tempoSteps(), -63);
}

// ---- Life ----------------------------------------------------------------------------------

TEST_F(PlaybackTest, DestructionStoresTheCountsAndTheListAndStartUpRestoresThem) {
    auto& c = startWithSongs(3);
    c.NextSong();
    c.NextSong();
    c.ToneUp();
    c.TempoDown();
    c.VolumeUp();
    c.destroy();
    EXPECT_EQ(doc->ListInd, 2);
    EXPECT_EQ(doc->iTon, 1);
    EXPECT_EQ(doc->iTemp, -1);
    EXPECT_EQ(doc->iVol, 1);
    EXPECT_TRUE(std::filesystem::exists(dataHome.path() / "default.m3u"));

    control.reset();
    screen = ModelScreen{};
    auto& again = start();
    EXPECT_EQ(again.playlist().count(), 3);
    EXPECT_EQ(currentName(), "s2.kar");
    EXPECT_EQ(screen.selected, 2);
    EXPECT_EQ(screen.currentItems(), std::vector<int>{2});
    EXPECT_EQ(again.toneSteps(), 1);
    EXPECT_EQ(again.tempoSteps(), -1);
    EXPECT_EQ(again.volumeSteps(), 0);
}

TEST_F(PlaybackTest, HiddenInfoBlockGivesItsRoomToTheLyrics) {
    doc->InfoBlock = 0;
    auto& c = start();
    EXPECT_FALSE(c.infoShown());
    EXPECT_EQ(c.areas().lyricArea.bottom, c.areas().infoBlock.bottom);
    doc->InfoBlock = 1;
    c.ApplyInfoBlock();
    EXPECT_TRUE(c.infoShown());
    EXPECT_EQ(c.areas().lyricArea.bottom, c.areas().infoBlock.top - 1);
}

// ---- Editing the list ----------------------------------------------------------------------

TEST_F(PlaybackTest, MovingTheCurrentSongKeepsItCurrent) {
    auto& c = startWithSongs(3);
    screen.selected = 0;
    c.MoveDown();
    EXPECT_EQ(c.playlist().currentIndex(), 1);
    EXPECT_EQ(currentName(), "s0.kar");
    EXPECT_EQ(screen.currentItems(), std::vector<int>{1});
    EXPECT_EQ(screen.selected, 1);
}

TEST_F(PlaybackTest, DeletingThePlayingSongStopsAndMakesTheFirstCurrent) {
    auto& c = startWithSongs(3);
    c.NextSong();
    c.PlayCommand();
    screen.selected = 1;
    c.DeleteItem();
    EXPECT_EQ(fake->timid_get_status(), SynthStatus::Stopped);
    EXPECT_TRUE(screen.listVisible);
    EXPECT_EQ(c.playlist().count(), 2);
    EXPECT_EQ(currentName(), "s0.kar");
    EXPECT_EQ(screen.currentItems(), std::vector<int>{0});
    deliver();  // ENDED after the stop
    EXPECT_EQ(fake->played().size(), 1u);
}

TEST_F(PlaybackTest, OpeningAPlaylistReplacesTheListAndRemembersItsFolder) {
    auto& c = startWithSongs(3);
    c.NextSong();
    const auto saved = songs.path() / "lists" / "three.m3u";
    std::filesystem::create_directory(saved.parent_path());
    c.SavePlaylist(saved);
    EXPECT_EQ(doc->lastFolder, pathText(saved.parent_path()));

    doc->lastFolder.clear();
    c.DeleteAll();
    c.AddFile(writeSong("other.kar"));
    c.OpenPlaylist(saved);
    EXPECT_EQ(c.playlist().count(), 3);
    EXPECT_EQ(screen.items.size(), 3u);
    // Loaded into an emptied list, the first song becomes current.
    EXPECT_EQ(currentName(), "s0.kar");
    EXPECT_EQ(screen.currentItems(), std::vector<int>{0});
    EXPECT_EQ(doc->lastFolder, pathText(saved.parent_path()));
}

TEST_F(PlaybackTest, TapMarksAnotherSongAndPlaysTheCurrentOne) {
    auto& c = startWithSongs(2);
    screen.selected = 1;
    c.tap();
    EXPECT_EQ(currentName(), "s1.kar");
    EXPECT_THAT(fake->played(), IsEmpty());
    c.tap();
    EXPECT_EQ(playedLast(), "s1.kar");
}

}  // namespace
}  // namespace melodeck::test

namespace melodeck::test {
namespace {

using PaintTest = PlayerTest;

std::vector<std::u16string> textsDrawn(const FixedWidthCanvas& canvas) {
    std::vector<std::u16string> out;
    for (const DrawOp& op : canvas.ops())
        if (op.kind == DrawOp::Kind::TextInRect || op.kind == DrawOp::Kind::TextAt)
            out.push_back(op.text);
    return out;
}

TEST_F(PaintTest, ThePlaylistFaceIsWhiteUnderItsCaption) {
    start();
    ASSERT_FALSE(canvas.ops().empty());
    const DrawOp& fill = canvas.ops().front();
    EXPECT_EQ(fill.kind, DrawOp::Kind::Fill);
    EXPECT_EQ(fill.rect, (Rect{0, 0, 240, 268}));
    EXPECT_EQ(fill.colour, kWhite);
    EXPECT_EQ(textsDrawn(canvas), std::vector<std::u16string>{u"My playlist"});
}

bool anyTextHas(const FixedWidthCanvas& canvas, std::u16string_view part) {
    const auto texts = textsDrawn(canvas);
    return std::any_of(texts.begin(), texts.end(),
                       [&](const std::u16string& t) { return t.find(part) != t.npos; });
}

TEST_F(PaintTest, TheSongFaceShowsTheLyricsWithTheInfoBlockOverThem) {
    auto& c = startWithSongs(1);
    doc->pictures.clear();
    c.PlayCommand();
    canvas.clearOps();
    fake->emit(SYNTH_MSG_TICK, 0);
    ASSERT_TRUE(anyTextHas(canvas, u"la"));
    // The first page is painted before the info block, which ends the step.
    const auto& ops = canvas.ops();
    const auto block = std::find_if(ops.begin(), ops.end(), [&](const DrawOp& op) {
        return op.kind == DrawOp::Kind::Rectangle && op.rect == c.areas().infoBlock;
    });
    ASSERT_NE(block, ops.end());
    EXPECT_TRUE(std::none_of(block, ops.end(), [](const DrawOp& op) {
        return op.text.find(u"la") != std::u16string::npos;
    }));
    EXPECT_THAT(notifier.messages(), IsEmpty());
}

TEST_F(PaintTest, ASongThatCannotBeOpenedNeverShowsThePreviousSongsLines) {
    auto& c = startWithSongs(2);
    doc->pictures.clear();
    c.PlayCommand();
    fake->emit(SYNTH_MSG_TICK, 0);
    c.StopCommand();
    std::filesystem::remove(songs.path() / "s1.kar");
    c.NextSong();
    c.PlayCommand();
    canvas.clearOps();
    fake->emit(SYNTH_MSG_TICK, 0);
    fake->emit(SYNTH_MSG_SYNC, 0);
    fake->emit(SYNTH_MSG_TICK, 22050 * 3);
    EXPECT_FALSE(anyTextHas(canvas, u"la"));
    EXPECT_THAT(notifier.messages(), ElementsAre("File not found"));
}

TEST_F(PaintTest, CountsAndTimesReachTheInfoBlockOnlyWhileTheDisplayIsUp) {
    auto& c = startWithSongs(1);
    c.CreateFonts();
    c.PlayCommand();
    canvas.clearOps();
    fake->emit(SYNTH_MSG_POSITION, 1);  // the display has not started: nothing painted
    EXPECT_TRUE(canvas.ops().empty());

    fake->emit(SYNTH_MSG_LENGTH, 65);
    fake->emit(SYNTH_MSG_TICK, 0);
    c.ToneDown();
    const auto texts = textsDrawn(canvas);
    ASSERT_FALSE(texts.empty());
    EXPECT_NE(std::find(texts.begin(), texts.end(), u"tone: -1   temp: 0   vol: 0"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), u"01:05"), texts.end());
    EXPECT_EQ(canvas.ops().back().font.pixelHeight, c.font(kFontInfo).pixelHeight);

    canvas.clearOps();
    fake->emit(SYNTH_MSG_POSITION, 7);
    EXPECT_THAT(textsDrawn(canvas), ElementsAre(u"00:07", u"01:05"));
    canvas.clearOps();
    fake->emit(SYNTH_MSG_POSITION, 7);  // the same second again
    EXPECT_TRUE(canvas.ops().empty());

    doc->InfoBlock = 0;
    c.ApplyInfoBlock();
    canvas.clearOps();
    fake->emit(SYNTH_MSG_POSITION, 8);
    EXPECT_TRUE(canvas.ops().empty());
    EXPECT_EQ(c.lastShownSeconds(), 8);
}

}  // namespace
}  // namespace melodeck::test
