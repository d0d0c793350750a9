#include "qt_frame_dialogs.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QIcon>
#include <QMessageBox>
#include <QString>

namespace melodeck {
namespace {

const QString kPlaylistFilter = QStringLiteral("Play list (*.m3u);;All files (*.*)");

QString toQString(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<std::u16string> chosen(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    return path.toStdU16String();
}

}  // namespace

std::optional<std::u16string> QtFrameDialogs::openPlaylist(QWidget* parent,
                                                           const std::u16string& startFolder) {
    return chosen(QFileDialog::getOpenFileName(parent, QStringLiteral("Open playlist"),
                                               toQString(startFolder), kPlaylistFilter));
}

std::optional<std::u16string> QtFrameDialogs::savePlaylist(QWidget* parent,
                                                           const std::u16string& startFolder) {
    // QFileDialog asks before overwriting unless told not to, and appends no extension.
    return chosen(QFileDialog::getSaveFileName(parent, QStringLiteral("Save playlist"),
                                               toQString(startFolder), kPlaylistFilter));
}

std::optional<std::u16string> QtFrameDialogs::songFile(QWidget* parent,
                                                       const std::u16string& startFolder) {
    return chosen(QFileDialog::getOpenFileName(parent, QStringLiteral("Add file"),
                                               toQString(startFolder),
                                               QStringLiteral("Songs (*.kar *.mid *.midi)")));
}

std::optional<FolderChoice> QtFrameDialogs::songFolder(QWidget* parent,
                                                       const std::u16string& startFolder) {
    // Qt's own dialog, so that the "Include Sub Folders" box can join its layout.
    QFileDialog dialog(parent, QStringLiteral("Add folder"), toQString(startFolder));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* subfolders = new QCheckBox(QStringLiteral("Include Sub Folders"), &dialog);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        grid->addWidget(subfolders, grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return FolderChoice{dialog.selectedFiles().front().toStdU16String(), subfolders->isChecked()};
}

void QtFrameDialogs::about(QWidget* parent) {
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("About Melodeck"));
    box.setIconPixmap(QIcon(QStringLiteral(":/icons/64x64/melodeck.png")).pixmap(64, 64));
    box.setText(QStringLiteral("<b>%1</b><br>Version %2")
                    .arg(QString::fromLatin1(kProgramName), QCoreApplication::applicationVersion()));
    box.setInformativeText(QStringLiteral("A karaoke player for the Linux desktop."));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

}  // namespace melodeck
