#include "lyr_doc.h"

#include <cassert>
#include <stdexcept>
#include <string>
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

bool CLyrDoc::chooseNextPicture(std::filesystem::path& out) {
    const auto count = static_cast<std::int64_t>(pictures.size());
    if (count < 1) return false;
    // Any index outside the list - -1 in a new document, one past the end after removals -
    // starts the cycle again at the first entry.
    if (currentPicture >= 0 && currentPicture < count - 1) {
        ++currentPicture;
    } else {
        currentPicture = 0;
    }
    out = textPath(pictures[static_cast<std::size_t>(currentPicture)]);
    return true;
}

void CLyrDoc::addPicture(const std::filesystem::path& path) { pictures.push_back(pathText(path)); }

void CLyrDoc::removePicture(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= pictures.size()) {
        throw std::out_of_range("picture index " + std::to_string(index) + " outside a list of " +
                                std::to_string(pictures.size()));
    }
    pictures.erase(pictures.begin() + index);
}

void CLyrDoc::loadSettings() {
    SettingsStore(m_registry, *m_synth, m_paths.programFileText()).load(*this);
}

void CLyrDoc::saveSettings() {
    SettingsStore(m_registry, *m_synth, m_paths.programFileText()).save(*this);
}

}  // namespace melodeck
