#pragma once

namespace melodeck {

// Numeric ids of the commands that menus, toolbars and accelerators send to the main frame.
// They are the ids the menus, string tables and interface-language library share, so they
// never change.
namespace cmd {

// Standard commands of the application framework.
inline constexpr int kNew = 57600;
inline constexpr int kAddFile = 57601;  // the framework's Open, taken over as Add file
inline constexpr int kSave = 57603;
inline constexpr int kCopy = 57634;
inline constexpr int kCut = 57635;
inline constexpr int kPaste = 57637;
inline constexpr int kUndo = 57643;
inline constexpr int kAbout = 57664;
inline constexpr int kExit = 57665;

// Toolbar commands.
inline constexpr int kAddSong = 4000;
inline constexpr int kToolbarPlay = 4001;
inline constexpr int kToolbarPause = 4002;
inline constexpr int kToolbarStop = 4003;
inline constexpr int kPreviousSong = 4004;
inline constexpr int kNextSong = 4005;
inline constexpr int kToolbarRepeat = 4006;
inline constexpr int kSwapToolbars = 4007;

// Menu commands.
inline constexpr int kPlaybackOptions = 32774;
inline constexpr int kFontsOptions = 32775;
inline constexpr int kPlay = 32779;
inline constexpr int kPause = 32780;
inline constexpr int kStop = 32781;
inline constexpr int kMenuPrevious = 32782;
inline constexpr int kMenuNext = 32783;
inline constexpr int kLyricOptions = 32788;
inline constexpr int kRepeat = 32789;
inline constexpr int kToolbarUp = 32790;
inline constexpr int kToolbarDown = 32791;
inline constexpr int kToolbarDelete = 32792;
inline constexpr int kUp = 32796;
inline constexpr int kDown = 32797;
inline constexpr int kDelete = 32798;
inline constexpr int kDeleteAll = 32799;
inline constexpr int kOpenPlaylist = 32800;
inline constexpr int kSavePlaylist = 32801;
inline constexpr int kPicturesOptions = 32802;
inline constexpr int kAssociations = 32803;
inline constexpr int kAddFolder = 32804;
inline constexpr int kInterfaceLanguage = 32805;
inline constexpr int kToneDown = 32806;
inline constexpr int kToneUp = 32807;
inline constexpr int kTempoDown = 32809;
inline constexpr int kTempoUp = 32810;
inline constexpr int kVolumeDown = 32811;
inline constexpr int kVolumeUp = 32812;
inline constexpr int kListStop = 32816;  // on the list toolbar, without a handler
inline constexpr int kToolbarInfoBlock = 32817;
inline constexpr int kInfoBlock = 32818;
inline constexpr int kGeneralOptions = 32819;

}  // namespace cmd
}  // namespace melodeck
