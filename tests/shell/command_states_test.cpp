#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "command_ids.h"
#include "command_states.h"
#include "toolbar_state.h"

namespace melodeck {
namespace {

using F = CommandFlag;

// The flags that are on, in the frame's order, so a failure shows the whole table.
std::string onFlags(const CommandStates& states) {
    static constexpr const char* kNames[] = {"play", "pause",  "stop", "previous",
                                             "next", "add",    "repeat", "up",
                                             "down", "delete", "deleteAll"};
    std::string out;
    for (std::size_t i = 0; i < kCommandFlagCount; ++i) {
        if (states.flag(static_cast<F>(i))) out += std::string(out.empty() ? "" : " ") + kNames[i];
    }
    return out;
}

TEST(CommandStatesTest, StartsWithPlaybackOffAndListEditingOn) {
    const CommandStates states;
    EXPECT_EQ(onFlags(states), "play add repeat up down delete deleteAll");
}

TEST(CommandStatesTest, MenuAndToolbarCommandsShareTheirFlag) {
    CommandStates states;
    states.controlsOn();
    for (int id : {cmd::kToolbarPause, cmd::kPause, cmd::kToolbarStop, cmd::kStop,
                   cmd::kPreviousSong, cmd::kMenuPrevious, cmd::kNextSong, cmd::kMenuNext}) {
        EXPECT_TRUE(states.isEnabled(id)) << id;
    }
    states.controlsOff();
    for (int id : {cmd::kPlay, cmd::kToolbarPause, cmd::kPause, cmd::kToolbarStop, cmd::kStop,
                   cmd::kPreviousSong, cmd::kMenuPrevious, cmd::kNextSong, cmd::kMenuNext,
                   cmd::kToolbarUp, cmd::kUp, cmd::kToolbarDown, cmd::kDown,
                   cmd::kToolbarDelete, cmd::kDelete, cmd::kDeleteAll}) {
        EXPECT_FALSE(states.isEnabled(id)) << id;
    }
}

TEST(CommandStatesTest, CommandsWithoutFlagStayEnabledExceptTheListStop) {
    CommandStates states;
    states.controlsOff();
    states.setStopped(/*listEmpty=*/true);
    for (int id : {cmd::kToolbarPlay, cmd::kAddFile, cmd::kAddFolder, cmd::kOpenPlaylist,
                   cmd::kSavePlaylist, cmd::kToneUp, cmd::kVolumeDown, cmd::kInfoBlock,
                   cmd::kToolbarInfoBlock, cmd::kAbout, cmd::kExit, cmd::kPlaybackOptions,
                   cmd::kFontsOptions, cmd::kLyricOptions, cmd::kPicturesOptions,
                   cmd::kGeneralOptions, cmd::kInterfaceLanguage, cmd::kAssociations}) {
        EXPECT_TRUE(states.isEnabled(id)) << id;
    }
    EXPECT_FALSE(states.isEnabled(cmd::kListStop));
}

TEST(CommandStatesTest, StoppedStatesFollowWhetherTheListHoldsSongs) {
    CommandStates states;
    states.playbackStarted();
    states.setStopped(/*listEmpty=*/false);
    EXPECT_EQ(onFlags(states), "play previous next add repeat up down delete deleteAll");

    states.playbackStarted();
    states.setStopped(/*listEmpty=*/true);
    EXPECT_EQ(onFlags(states), "add repeat");
}

TEST(CommandStatesTest, ListItemChangeLetsTheSelectionDecidePlay) {
    CommandStates states;
    states.controlsOn();
    states.listItemChanged(/*listEmpty=*/false, /*itemSelected=*/false);
    // Pause and stop are left alone; play follows the selection, not the list.
    EXPECT_EQ(onFlags(states), "pause stop previous next add repeat deleteAll");

    states.listItemChanged(/*listEmpty=*/false, /*itemSelected=*/true);
    EXPECT_EQ(onFlags(states), "play pause stop previous next add repeat up down delete deleteAll");

    states.listItemChanged(/*listEmpty=*/true, /*itemSelected=*/false);
    EXPECT_EQ(onFlags(states), "pause stop add repeat");
}

TEST(CommandStatesTest, StartingASongLocksTheListAndControlsOffLocksEverything) {
    CommandStates states;
    states.playbackStarted();
    EXPECT_EQ(onFlags(states), "play pause stop previous next add repeat");
    states.controlsOff();
    EXPECT_EQ(onFlags(states), "add repeat");
    states.controlsOn();
    EXPECT_EQ(onFlags(states), "play pause stop previous next add repeat");
    states.setStopped(false);
    states.listEditingOff();
    EXPECT_EQ(onFlags(states), "play previous next add repeat");
}

TEST(ToolbarStateTest, OnlyThePausePlayToggleChangesItsImage) {
    ToolbarState state;
    EXPECT_EQ(state.pauseButtonImage(), kImagePause);
    state.showPaused(true);
    EXPECT_EQ(state.pauseButtonImage(), kImagePlay);
    state.swap();
    state.swap();
    state.setRepeat(true);
    state.setInfoBlock(true);
    EXPECT_EQ(state.pauseButtonImage(), kImagePlay);
    state.showPaused(false);
    EXPECT_EQ(state.pauseButtonImage(), kImagePause);
}

TEST(ToolbarStateTest, SwapAlternatesStartingWithTheListToolbar) {
    ToolbarState state;
    EXPECT_FALSE(state.listToolbarShown());
    state.swap();
    EXPECT_TRUE(state.listToolbarShown());
    state.swap();
    EXPECT_FALSE(state.listToolbarShown());
}

TEST(ToolbarStateTest, InfoBlockImageShowsTheBlockState) {
    ToolbarState state;
    state.setInfoBlock(true);
    EXPECT_EQ(state.infoBlockImage(), 11);
    state.setInfoBlock(false);
    EXPECT_EQ(state.infoBlockImage(), 0);
}

}  // namespace
}  // namespace melodeck
