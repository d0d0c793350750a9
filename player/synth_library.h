#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace melodeck {

// Status of the synthesizer library.
enum class SynthStatus : std::int32_t {
    Stopped = 0,  // nothing playing
    Playing = 1,
    Paused = 2,
};

// Notifications the library sends while it plays; wParam as noted.
enum SynthMsg : std::uint32_t {
    SYNTH_MSG_STARTED = 0x800,
    SYNTH_MSG_CONTROLS_ON = 0x801,
    SYNTH_MSG_FINISHED = 0x802,      // the song ran to its end
    SYNTH_MSG_LENGTH = 0x803,        // wParam: song length in seconds
    SYNTH_MSG_POSITION = 0x804,      // wParam: elapsed seconds
    SYNTH_MSG_ENDED = 0x805,         // playback was stopped
    SYNTH_MSG_CONTROLS_OFF = 0x806,  // 0x807 means the same
    SYNTH_MSG_CONTROLS_OFF_2 = 0x807,
    SYNTH_MSG_TICK = 0x808,  // wParam: play position in output samples
    SYNTH_MSG_SYNC = 0x809,  // wParam: play position in output samples
};

// The configuration record, exactly as it is exchanged and stored: 572 bytes, integers
// 32-bit little-endian, the path NUL-terminated UTF-16.
struct SynthConfig {
    char16_t ConfigFile[256];   // instrument setup; "timidity.cfg" by default
    std::int32_t Rate;          // output sample rate in Hz
    std::int32_t Buffers;       // 1..32
    std::int32_t Voices;        // 2..128
    std::int32_t LibraryOwn;    // the library's own; never stored
    std::int32_t Stereo;        // 0 or 1
    std::int32_t Antialiasing;  // 0 or 1
    std::int32_t Pan;           // 0 or 1
    std::int32_t FreeInstrum;   // 0 or 1
    std::int32_t Bits16;        // stored as "16Bits"; 0 or 1
    std::int32_t ThreadPriority;
    std::int32_t ReverbEnabled;  // 0 or 1
    std::int32_t ReverbDelay;
    std::int32_t ReverbRate;
    std::int32_t SurroundEnabled;  // 0 or 1
    std::int32_t SurroundRate;
};
static_assert(sizeof(SynthConfig) == 572);
static_assert(offsetof(SynthConfig, Rate) == 512);
static_assert(offsetof(SynthConfig, Buffers) == 516);
static_assert(offsetof(SynthConfig, Voices) == 520);
static_assert(offsetof(SynthConfig, LibraryOwn) == 524);
static_assert(offsetof(SynthConfig, Stereo) == 528);
static_assert(offsetof(SynthConfig, Antialiasing) == 532);
static_assert(offsetof(SynthConfig, Pan) == 536);
static_assert(offsetof(SynthConfig, FreeInstrum) == 540);
static_assert(offsetof(SynthConfig, Bits16) == 544);
static_assert(offsetof(SynthConfig, ThreadPriority) == 548);
static_assert(offsetof(SynthConfig, ReverbEnabled) == 552);
static_assert(offsetof(SynthConfig, ReverbDelay) == 556);
static_assert(offsetof(SynthConfig, ReverbRate) == 560);
static_assert(offsetof(SynthConfig, SurroundEnabled) == 564);
static_assert(offsetof(SynthConfig, SurroundRate) == 568);

inline constexpr std::int32_t kDefaultVolume = 80;
inline constexpr std::int32_t kMaxVolume = 800;
// Playback rate of the output, 16.16 fixed point.
inline constexpr std::uint32_t kNormalPlaybackRate = 65536;

// Receives the library's notifications. post() is called from the library's own threads,
// in order; an implementation must be thread-safe, return quickly and never call back into
// the library. The application's implementation forwards them to the UI thread.
class SynthListener {
public:
    virtual ~SynthListener() = default;
    virtual void post(SynthMsg code, std::uint32_t wParam) = 0;
};

// The output device in use: its playback rate sets the song's speed without changing its key.
class SynthWaveOut {
public:
    virtual ~SynthWaveOut() = default;
    virtual std::uint32_t playbackRate() const = 0;
    // 16.16 fixed point, kNormalPlaybackRate = normal speed; a rate of 0 or below is ignored.
    virtual void setPlaybackRate(std::int64_t rate) = 0;
};

// The synthesizer library. Every call comes from the UI thread; notifications go to the
// listener set with timid_set_parent_wnd.
class SynthLibrary {
public:
    virtual ~SynthLibrary() = default;

    virtual void timid_init() = 0;
    virtual void timid_get_configuration(SynthConfig& config) = 0;
    virtual void timid_set_configuration(const SynthConfig& config) = 0;
    virtual std::int32_t timid_get_volume() = 0;
    virtual void timid_set_volume(std::int32_t volume) = 0;
    // Notifications go to `listener` from now on; null sends them nowhere. Not owned: it
    // must stay alive until it is replaced or the library is terminated.
    virtual void timid_set_parent_wnd(SynthListener* listener) = 0;
    // The song's title (at most 257 characters), empty when the file has none.
    virtual std::u16string timid_get_mid_info(const std::filesystem::path& path) = 0;
    // Starts playing `path`, replacing any song that plays or is paused.
    virtual void timid_play(const std::filesystem::path& path) = 0;
    virtual void timid_pause() = 0;  // toggles playing and paused
    virtual void timid_stop() = 0;
    virtual SynthStatus timid_get_status() = 0;
    // Shifts the key by `steps` semitones relative to the current key.
    virtual void timid_set_pitch(std::int32_t steps) = 0;
    virtual SynthWaveOut* timid_get_hwaveout() = 0;
    virtual void timid_term() = 0;
};

}  // namespace melodeck
