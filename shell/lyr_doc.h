#pragma once

#include <memory>

#include "app_paths.h"
#include "doc_settings.h"
#include "registry.h"
#include "synth_library.h"

namespace melodeck {

// The document: owner of every setting and of the synthesizer library's life. There is
// one for the whole run, handed down by reference.
//
// Construction initialises the library and loads the settings (which configures the
// library); destruction saves the settings and then shuts the library down. The settings
// are public members, read and changed directly by the commands and dialogs.
//
// Single-threaded: used on the UI thread only.
class CLyrDoc : public DocSettings {
public:
    // `synth` must not be null. `registry` holds the settings; null counts as a store that
    // cannot be opened (nothing is loaded or saved). It must outlive the document.
    CLyrDoc(std::unique_ptr<SynthLibrary> synth, Registry* registry, AppPaths paths);
    ~CLyrDoc();

    CLyrDoc(const CLyrDoc&) = delete;
    CLyrDoc& operator=(const CLyrDoc&) = delete;

    SynthLibrary& synth() { return *m_synth; }
    Registry* registry() { return m_registry; }
    const AppPaths& paths() const { return m_paths; }

private:
    void loadSettings();
    void saveSettings();

    std::unique_ptr<SynthLibrary> m_synth;
    Registry* m_registry;
    AppPaths m_paths;
};

}  // namespace melodeck
