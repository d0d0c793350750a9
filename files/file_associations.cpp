#include "file_associations.h"

#include <utility>

#include "registry_values.h"

namespace melodeck {
namespace {

// Values are read into buffers of 260 wide characters; one that cannot be read is empty.
constexpr std::size_t kValueBufferBytes = 520;

std::u16string readOrEmpty(const RegistryKey& key, std::u16string_view name) {
    return readText(key, name, kValueBufferBytes).value_or(std::u16string());
}

std::u16string concat(std::u16string_view a, std::u16string_view b) {
    std::u16string text(a);
    text += b;
    return text;
}

}  // namespace

FileAssociations::FileAssociations(Registry& registry, std::u16string programFile)
    : m_registry(registry), m_programFile(std::move(programFile)) {}

std::u16string FileAssociations::openCommand() const {
    return u"\"" + m_programFile + u"\" \"%1\"";
}

std::u16string FileAssociations::iconText(int iconNumber) const {
    std::u16string text = m_programFile + u",-";
    for (char c : std::to_string(iconNumber)) text.push_back(static_cast<char16_t>(c));
    return text;
}

bool FileAssociations::isAssociated(std::u16string_view extension,
                                    std::u16string_view progId) const {
    const std::unique_ptr<RegistryKey> key = m_registry.openKey(Hive::ClassesRoot, extension);
    return key && readOrEmpty(*key, u"") == progId;
}

void FileAssociations::associate(std::u16string_view extension, std::u16string_view progId,
                                 std::u16string_view description, int iconNumber) {
    {
        const std::unique_ptr<RegistryKey> type = m_registry.createKey(Hive::ClassesRoot, progId);
        if (!type) return;
        writeText(*type, u"", description);
        if (auto icon = m_registry.createKey(Hive::ClassesRoot, concat(progId, u"\\DefaultIcon"))) {
            writeText(*icon, u"", iconText(iconNumber));
        }
        if (auto command = m_registry.createKey(Hive::ClassesRoot,
                                                concat(progId, u"\\Shell\\Open\\Command"))) {
            writeText(*command, u"", openCommand());
        }
    }
    const std::unique_ptr<RegistryKey> ext = m_registry.createKey(Hive::ClassesRoot, extension);
    if (!ext) return;
    const std::u16string previous = readOrEmpty(*ext, u"");
    // Associating twice must not make the program its own backup.
    if (previous != progId) writeText(*ext, kBackupValueName, previous);
    writeText(*ext, u"", progId);
}

void FileAssociations::restore(std::u16string_view extension, std::u16string_view progId) {
    const std::unique_ptr<RegistryKey> ext = m_registry.openKey(Hive::ClassesRoot, extension);
    if (!ext) return;
    const std::u16string backup = readOrEmpty(*ext, kBackupValueName);
    // An extension another program has taken over since keeps that program.
    if (readOrEmpty(*ext, u"") == progId) writeText(*ext, u"", backup);
    ext->deleteValue(kBackupValueName);
}

void FileAssociations::associateAll() {
    // One transaction when the store offers it, so the whole set is written at once;
    // without one each write stands alone, which is still consistent at every step.
    std::unique_ptr<RegistryTransaction> transaction = m_registry.beginTransaction();
    for (const AssociationGroup& group : kAssociationGroups) {
        for (std::u16string_view extension : group.extensions) {
            if (extension.empty() || isAssociated(extension, group.progId)) continue;
            associate(extension, group.progId, group.description, kProgramIconNumber);
        }
    }
    if (transaction) transaction->commit();
}

}  // namespace melodeck
