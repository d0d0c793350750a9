#pragma once

#include <array>
#include <string>
#include <string_view>

#include "registry.h"

namespace melodeck {

// One kind of file the program opens: its extensions, the program identifier its
// extensions point to while associated, and the type's description.
struct AssociationGroup {
    std::array<std::u16string_view, 2> extensions;  // unused places are empty
    std::u16string_view progId;
    std::u16string_view description;
    int checkBoxId;  // the box of the Associations dialog that shows the group
};

// The groups, always handled in this order: MIDI, Karaoke, Playlist.
inline constexpr std::array<AssociationGroup, 3> kAssociationGroups{{
    {{u".mid", u".midi"}, u"Melodeck MidiAudioFile", u"MIDI Audio File", 1028},
    {{u".kar", u""}, u"Melodeck KaraokeFile", u"Karaoke File", 1027},
    {{u".m3u", u""}, u"Melodeck Playlist", u"Play List File", 1029},
}};

// The program's main icon, named in each type's DefaultIcon.
inline constexpr int kProgramIconNumber = 128;
// Value of an extension key that keeps its opener from before the association.
inline constexpr std::u16string_view kBackupValueName = u"Melodeck Backup";

// Makes the program the opener of its file types under HKEY_CLASSES_ROOT, keeping each
// extension's previous opener so that it can be given back. Failures are skipped silently:
// an association that cannot be written is simply not made.
class FileAssociations {
public:
    // `registry` must outlive this object. `programFile` is the full path of the program
    // file, written into the open command and the icon of each type.
    FileAssociations(Registry& registry, std::u16string programFile);

    // True when the extension's default value is exactly `progId`; false when its key
    // cannot be opened.
    bool isAssociated(std::u16string_view extension, std::u16string_view progId) const;
    // Writes the type `progId` (its description, icon and open command) and points the
    // extension at it. The extension's previous opener goes into "Melodeck Backup" unless
    // the extension already pointed at `progId`.
    void associate(std::u16string_view extension, std::u16string_view progId,
                   std::u16string_view description, int iconNumber);
    // Gives the extension back to the opener kept in "Melodeck Backup" if it still points
    // at `progId`, and removes the backup in any case. The type's keys stay.
    void restore(std::u16string_view extension, std::u16string_view progId);
    // Associates every extension of every group that is not associated yet.
    void associateAll();

    // "\"<program>\" \"%1\"": how the desktop starts the program on a file.
    std::u16string openCommand() const;
    // "<program>,-128" for the default icon number.
    std::u16string iconText(int iconNumber) const;

private:
    Registry& m_registry;
    std::u16string m_programFile;
};

}  // namespace melodeck
