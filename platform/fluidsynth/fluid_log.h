#pragma once

namespace melodeck {

// Where FluidSynth's own log lines go. FluidSynth keeps one log function per level for the
// whole process, so this is process-wide state that belongs to FluidSynth, not to us: the
// synthesizer library sets it when it starts, and the last call wins. With `toStderr` false
// every level is dropped (a player has no business printing to a terminal); with it true,
// each line goes to stderr prefixed with "fluidsynth: ".
void routeFluidLog(bool toStderr);

// True when the environment asks for FluidSynth's log (MELODECK_DEBUG_SYNTH=1).
bool fluidLogRequestedByEnvironment();

}  // namespace melodeck
