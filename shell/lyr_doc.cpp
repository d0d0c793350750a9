#include "lyr_doc.h"

#include <cassert>
#include <utility>

#include "settings_store.h"

namespace melodeck {

CLyrDoc::CLyrDoc(std::unique_ptr<SynthLibrary> synth, Registry* registry, AppPaths paths)
    : m_synth(std::move(synth)), m_registry(registry), m_paths(std::move(paths)) {
    assert(m_synth);
    m_synth->timid_init();
    programFolder = m_paths.programFolderText();
    loadSettings();
}

CLyrDoc::~CLyrDoc() {
    saveSettings();
    m_synth->timid_term();
}

void CLyrDoc::loadSettings() {
    SettingsStore(m_registry, *m_synth, m_paths.programFileText()).load(*this);
}

void CLyrDoc::saveSettings() {
    SettingsStore(m_registry, *m_synth, m_paths.programFileText()).save(*this);
}

}  // namespace melodeck
