#include "command_states.h"

#include "command_ids.h"

namespace melodeck {

CommandStates::CommandStates() {
    m_flags.fill(true);
    set(CommandFlag::Pause, false);
    set(CommandFlag::Stop, false);
    set(CommandFlag::Previous, false);
    set(CommandFlag::Next, false);
}

std::optional<CommandFlag> CommandStates::flagFor(int commandId) {
    switch (commandId) {
    case cmd::kPlay: return CommandFlag::Play;
    case cmd::kToolbarPause:
    case cmd::kPause: return CommandFlag::Pause;
    case cmd::kToolbarStop:
    case cmd::kStop: return CommandFlag::Stop;
    case cmd::kPreviousSong:
    case cmd::kMenuPrevious: return CommandFlag::Previous;
    case cmd::kNextSong:
    case cmd::kMenuNext: return CommandFlag::Next;
    case cmd::kAddSong: return CommandFlag::Add;
    case cmd::kToolbarRepeat:
    case cmd::kRepeat: return CommandFlag::Repeat;
    case cmd::kToolbarUp:
    case cmd::kUp: return CommandFlag::Up;
    case cmd::kToolbarDown:
    case cmd::kDown: return CommandFlag::Down;
    case cmd::kToolbarDelete:
    case cmd::kDelete: return CommandFlag::Delete;
    case cmd::kDeleteAll: return CommandFlag::DeleteAll;
    default: return std::nullopt;
    }
}

bool CommandStates::isEnabled(int commandId) const {
    if (commandId == cmd::kListStop) return false;
    const std::optional<CommandFlag> f = flagFor(commandId);
    return f ? flag(*f) : true;
}

void CommandStates::setPlayback(bool on) {
    set(CommandFlag::Play, on);
    set(CommandFlag::Pause, on);
    set(CommandFlag::Stop, on);
    set(CommandFlag::Previous, on);
    set(CommandFlag::Next, on);
}

void CommandStates::setListEdits(bool on) {
    set(CommandFlag::Up, on);
    set(CommandFlag::Down, on);
    set(CommandFlag::Delete, on);
    set(CommandFlag::DeleteAll, on);
}

void CommandStates::setStopped(bool listEmpty) {
    const bool hasSongs = !listEmpty;
    set(CommandFlag::Pause, false);
    set(CommandFlag::Stop, false);
    set(CommandFlag::Play, hasSongs);
    set(CommandFlag::Previous, hasSongs);
    set(CommandFlag::Next, hasSongs);
    setListEdits(hasSongs);
}

void CommandStates::listItemChanged(bool listEmpty, bool itemSelected) {
    set(CommandFlag::Previous, !listEmpty);
    set(CommandFlag::Next, !listEmpty);
    set(CommandFlag::DeleteAll, !listEmpty);
    set(CommandFlag::Play, itemSelected);
    set(CommandFlag::Delete, itemSelected);
    set(CommandFlag::Up, itemSelected);
    set(CommandFlag::Down, itemSelected);
}

void CommandStates::playbackStarted() {
    setPlayback(true);
    setListEdits(false);
}

void CommandStates::controlsOn() { setPlayback(true); }

void CommandStates::listEditingOff() { setListEdits(false); }

void CommandStates::controlsOff() {
    setPlayback(false);
    setListEdits(false);
}

}  // namespace melodeck
