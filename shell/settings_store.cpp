#include "settings_store.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string_view>
#include <utility>

#include "file_associations.h"
#include "registry_values.h"
#include "settings_table.h"

namespace melodeck {
namespace {

// Values are copied into the in-memory records byte for byte, which is their stored
// little-endian layout only on a little-endian machine.
static_assert(std::endian::native == std::endian::little);

constexpr std::size_t kVersionBytes = 4096;
constexpr std::size_t kFolderBytes = (kMaxFolderUnits + 1) * 2;
constexpr std::size_t kPictureBytes = 2048;
// A count beyond this is not read further: only a damaged store holds one, and reading
// billions of missing entries would stall the start.
constexpr std::int32_t kMaxStoredPictures = 10000;

constexpr std::u16string_view kDefaultPictureNames[] = {
    u"Images/Water.jpg", u"Images/Flower.jpg", u"Images/Underwater.jpg", u"Images/Mountain.jpg"};

// Reads value `name` over the first bytes of `target`, as a read into a buffer of `size`
// bytes does: a shorter value replaces only its own bytes. False when it cannot be read.
bool readInto(const RegistryKey& key, std::u16string_view name, void* target, std::size_t size) {
    const std::optional<RegData> data = key.read(name, size);
    if (!data) return false;
    if (!data->bytes.empty()) std::memcpy(target, data->bytes.data(), data->bytes.size());
    return true;
}

template <typename T>
std::span<const std::uint8_t> bytesOf(const T& object) {
    return {reinterpret_cast<const std::uint8_t*>(&object), sizeof object};
}

std::uint32_t& docBits(DocSettings& settings, const DocField& field) {
    return std::visit(
        [&](auto member) -> std::uint32_t& {
            return reinterpret_cast<std::uint32_t&>(settings.*member);
        },
        field);
}

std::uint32_t docBits(const DocSettings& settings, const DocField& field) {
    return std::visit([&](auto member) { return static_cast<std::uint32_t>(settings.*member); },
                      field);
}

void loadDocDword(const RegistryKey& key, const DocDword& entry, DocSettings& settings) {
    std::uint32_t& target = docBits(settings, entry.loadInto);
    if (!readInto(key, entry.name, &target, sizeof target)) target = entry.whenAbsent;
    if (entry.check) {
        target = static_cast<std::uint32_t>(entry.check(static_cast<std::int32_t>(target)));
    }
}

void saveDocDword(RegistryKey& key, const DocDword& entry, const DocSettings& settings) {
    writeDword(key, entry.name, docBits(settings, entry.saveFrom));
}

std::u16string numbered(std::u16string_view prefix, int index) {
    std::u16string name(prefix);
    for (char c : std::to_string(index)) name.push_back(static_cast<char16_t>(c));
    return name;
}

bool hasTerminator(const char16_t* field, std::size_t units) {
    return std::find(field, field + units, u'\0') != field + units;
}

}  // namespace

SettingsStore::SettingsStore(Registry* registry, SynthLibrary& synth, std::u16string programFile)
    : m_registry(registry), m_synth(synth), m_programFile(std::move(programFile)) {}

void SettingsStore::setDefaultPictures(DocSettings& settings) {
    for (std::u16string_view name : kDefaultPictureNames) {
        settings.pictures.push_back(settings.programFolder + std::u16string(name));
    }
    settings.currentPicture = 0;
}

void SettingsStore::load(DocSettings& settings) {
    SynthConfig config{};
    m_synth.timid_get_configuration(config);
    if (!m_registry) return;
    const std::unique_ptr<RegistryKey> key =
        m_registry->createKey(Hive::CurrentUser, kSettingsKeyPath);
    if (!key) return;

    const bool versionDiffers = readText(*key, u"ver", kVersionBytes) != kVersionText;

    constexpr std::size_t kConfigUnits = std::size(SynthConfig{}.ConfigFile);
    // A stored path that leaves the field without a terminator would run past it in the
    // library; it is treated like a missing one.
    if (!readInto(*key, u"ConfigFile", config.ConfigFile, sizeof config.ConfigFile) ||
        !hasTerminator(config.ConfigFile, kConfigUnits)) {
        setFieldText(config.ConfigFile, kConfigUnits, kDefaultConfigFile);
        settings.firstRun = 1;
    }
    for (const SynthDword& entry : synthDwords()) {
        std::int32_t& field = config.*entry.field;
        if (!readInto(*key, entry.name, &field, sizeof field) && entry.whenAbsent) {
            field = *entry.whenAbsent;
        }
    }
    std::int32_t volume = kDefaultVolume;
    if (!readInto(*key, u"Volume", &volume, sizeof volume)) volume = kDefaultVolume;

    for (const DocDword& entry : leadingDocDwords()) loadDocDword(*key, entry, settings);
    for (const DocDword& entry : trailingDocDwords()) loadDocDword(*key, entry, settings);

    if (std::optional<std::u16string> folder = readText(*key, u"LastFolder", kFolderBytes)) {
        settings.lastFolder = std::move(*folder);
    } else {
        // No folder was ever saved: this is the first start, when the program makes itself
        // the opener of its file types without asking.
        settings.lastFolder = settings.programFolder + u"KaraokeFiles";
        FileAssociations(*m_registry, m_programFile).associateAll();
    }

    for (int i = 0; i < kFontCount; ++i) {
        FontRecord& record = settings.fontRecords[i];
        if (!readInto(*key, numbered(u"Font_", i), &record, sizeof record)) continue;
        setFieldText(settings.logFonts[i].faceName, kFaceNameUnits,
                     fieldText(record.faceName, kFaceNameUnits));
        settings.logFonts[i].weight = record.bold != 0 ? kWeightBold : kWeightNormal;
        settings.logFonts[i].italic = record.italic != 0 ? 1 : 0;
    }

    loadPictures(*key, settings, versionDiffers);

    m_synth.timid_set_configuration(config);
    m_synth.timid_set_volume(volume);
}

void SettingsStore::loadPictures(RegistryKey& key, DocSettings& settings, bool versionDiffers) {
    std::int32_t count = 0;
    // Another version may have laid the list out differently: start from the defaults.
    if (!readInto(key, u"CountPict", &count, sizeof count) || versionDiffers) {
        setDefaultPictures(settings);
        return;
    }
    readInto(key, u"CurPict", &settings.currentPicture, sizeof settings.currentPicture);
    if (settings.currentPicture < 0 || settings.currentPicture >= count) {
        settings.currentPicture = 0;
    }
    const std::int32_t readable = std::min(count, kMaxStoredPictures);
    for (std::int32_t i = 0; i < readable; ++i) {
        // An entry that cannot be read is left out; the later ones close up.
        if (std::optional<std::u16string> path =
                readText(key, numbered(u"Pict_", i), kPictureBytes)) {
            settings.pictures.push_back(std::move(*path));
        }
    }
}

void SettingsStore::save(const DocSettings& settings) {
    SynthConfig config{};
    m_synth.timid_get_configuration(config);
    if (!m_registry) return;
    // Everything goes in one transaction: a save cut short leaves the previous settings.
    const std::unique_ptr<RegistryTransaction> transaction = m_registry->beginTransaction();
    if (!transaction) return;
    const std::unique_ptr<RegistryKey> key =
        m_registry->createKey(Hive::CurrentUser, kSettingsKeyPath);
    if (!key) return;

    // A value that cannot be written is skipped; the rest are still saved.
    writeText(*key, u"ver", kVersionText);
    writeBinary(*key, u"ConfigFile", bytesOf(config.ConfigFile));
    for (const SynthDword& entry : synthDwords()) {
        writeDword(*key, entry.name, static_cast<std::uint32_t>(config.*entry.field));
    }
    writeDword(*key, u"Volume", static_cast<std::uint32_t>(m_synth.timid_get_volume()));
    for (const DocDword& entry : leadingDocDwords()) saveDocDword(*key, entry, settings);
    writeText(*key, u"LastFolder", settings.lastFolder);
    for (const DocDword& entry : trailingDocDwords()) saveDocDword(*key, entry, settings);

    writeDword(*key, u"CountPict", static_cast<std::uint32_t>(settings.pictures.size()));
    writeDword(*key, u"CurPict", static_cast<std::uint32_t>(settings.currentPicture));
    // Entries beyond the count, left from a longer list, stay; the load does not read them.
    for (std::size_t i = 0; i < settings.pictures.size(); ++i) {
        writeText(*key, numbered(u"Pict_", static_cast<int>(i)), settings.pictures[i]);
    }
    for (int i = 0; i < kFontCount; ++i) {
        FontRecord record = settings.fontRecords[i];
        record.padding[0] = record.padding[1] = 0;
        writeBinary(*key, numbered(u"Font_", i), bytesOf(record));
    }
    transaction->commit();
}

}  // namespace melodeck
