#pragma once

#include <memory>

#include <fluidsynth.h>

namespace melodeck {

// Owning handles for FluidSynth objects. A synth must outlive the players and drivers made
// on it, and the settings must outlive the synth: owners declare their handles in that order
// (settings first) so that destruction runs the other way round.
struct FluidSettingsDeleter {
    void operator()(fluid_settings_t* p) const { delete_fluid_settings(p); }
};
struct FluidSynthDeleter {
    void operator()(fluid_synth_t* p) const { delete_fluid_synth(p); }
};
struct FluidPlayerDeleter {
    // A player deleted while it plays leaves its notes hanging on the synth; callers stop it
    // and silence the synth first.
    void operator()(fluid_player_t* p) const { delete_fluid_player(p); }
};
struct FluidAudioDriverDeleter {
    void operator()(fluid_audio_driver_t* p) const { delete_fluid_audio_driver(p); }
};

using FluidSettingsPtr = std::unique_ptr<fluid_settings_t, FluidSettingsDeleter>;
using FluidSynthPtr = std::unique_ptr<fluid_synth_t, FluidSynthDeleter>;
using FluidPlayerPtr = std::unique_ptr<fluid_player_t, FluidPlayerDeleter>;
using FluidAudioDriverPtr = std::unique_ptr<fluid_audio_driver_t, FluidAudioDriverDeleter>;

}  // namespace melodeck
