#pragma once

#include <string>

#include "doc_settings.h"
#include "registry.h"
#include "synth_library.h"

namespace melodeck {

// Loads the document's settings and the synthesizer's configuration from the settings key
// and saves them back. The key is read once at start and written once at exit; nothing
// else touches it.
//
// A store that cannot be opened (no registry, or the key cannot be opened for writing:
// locked, read-only, damaged) makes the load and the save do nothing; nothing is reported.
// A value that cannot be read - missing, or larger than the space it is read into - takes
// the value given for it when absent.
class SettingsStore {
public:
    // `registry` may be null, which counts as a store that cannot be opened; otherwise it
    // and `synth` must outlive this object. `programFile` is the program's full path, used
    // when the first start registers the file associations.
    SettingsStore(Registry* registry, SynthLibrary& synth, std::u16string programFile);

    // Reads every setting into `settings` (whose programFolder must be set) and hands the
    // configuration record and the volume to the library. A store without "LastFolder" is
    // a first start: the file associations are registered.
    void load(DocSettings& settings);
    // Writes every setting, with the library's configuration and volume, as one
    // transaction: an interrupted save leaves the previous settings whole.
    void save(const DocSettings& settings);

    // Replaces the picture list with the four default pictures and chooses the first.
    static void setDefaultPictures(DocSettings& settings);

private:
    void loadPictures(RegistryKey& key, DocSettings& settings, bool versionDiffers);

    Registry* m_registry;
    SynthLibrary& m_synth;
    std::u16string m_programFile;
};

}  // namespace melodeck
