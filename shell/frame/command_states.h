#pragma once

#include <array>
#include <cstddef>
#include <optional>

namespace melodeck {

// The switches that enable the playback and list commands, in the frame's order.
enum class CommandFlag : std::size_t {
    Play,
    Pause,
    Stop,
    Previous,
    Next,
    Add,
    Repeat,
    Up,
    Down,
    Delete,
    DeleteAll,
};
inline constexpr std::size_t kCommandFlagCount = 11;

// The enabled state of the playback and list commands: eleven flags, each enabling one or
// two command ids, and the rules that switch them together. Commands without a flag are
// always enabled, except the list toolbar's Stop, which has no handler.
//
// Pure state without a window; the main frame maps it onto its actions. Single-threaded.
class CommandStates {
public:
    // Play, Add, Repeat, Up, Down, Delete and DeleteAll on; Pause, Stop, Previous, Next off.
    CommandStates();

    bool flag(CommandFlag f) const { return m_flags[static_cast<std::size_t>(f)]; }
    void set(CommandFlag f, bool on) { m_flags[static_cast<std::size_t>(f)] = on; }

    // The flag that enables `commandId`; nullopt for a command that no flag governs.
    static std::optional<CommandFlag> flagFor(int commandId);
    // Whether `commandId` may be used now.
    bool isEnabled(int commandId) const;

    // After Stop and at the end of a song: Pause and Stop off; Play, Previous, Next and the
    // four list edits on exactly when the list holds a song.
    void setStopped(bool listEmpty);
    // A list item changed (selection, focus, image or text): Previous, Next and DeleteAll
    // follow whether the list holds a song; Play, Delete, Up and Down whether an item is
    // selected.
    void listItemChanged(bool listEmpty, bool itemSelected);
    // A song started: Play to Next on; Up, Down, Delete and DeleteAll off.
    void playbackStarted();
    // Play, Pause, Stop, Previous and Next on.
    void controlsOn();
    // Up, Down, Delete and DeleteAll off.
    void listEditingOff();
    // Play to Next and the four list edits off (the song was cleared or controls went off).
    void controlsOff();

private:
    void setPlayback(bool on);
    void setListEdits(bool on);

    std::array<bool, kCommandFlagCount> m_flags{};
};

}  // namespace melodeck
