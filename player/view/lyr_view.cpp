#include "lyr_view.h"

#include <algorithm>
#include <memory>

#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QSignalBlocker>
#include <QTimer>

#include "frame_control.h"
#include "list_icons.h"
#include "lyr_doc.h"
#include "notifier.h"
#include "player_control.h"
#include "player_screen.h"
#include "qt_canvas.h"
#include "screen_saver_inhibitor.h"
#include "wave_volume.h"

namespace melodeck {

namespace {

// Qt's coordinates are already logical pixels, so the layout's 96-dpi lengths apply as
// they stand.
constexpr Dpi kLogicalDpi{96, 96};
// Where the list lies in the view, and how much of the view's height it leaves free.
constexpr int kListLeft = 5;
constexpr int kListTop = 24;
constexpr int kListSideMargins = 10;
constexpr int kListHeightMargin = 55;
// How often the keep-awake request is checked against the library's state.
constexpr int kKeepAwakeMs = 25000;

QFont qFontOf(const FontSpec& request) {
    QFont font(QString::fromStdString(request.faceName));
    if (request.pixelHeight > 0)
        font.setPixelSize(request.pixelHeight);
    else if (request.pointSize > 0)
        font.setPointSize(request.pointSize);
    font.setBold(request.bold);
    font.setItalic(request.italic);
    return font;
}

QString qStringOf(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// Enter on a list item counts as a tap, as a click does.
class EnterFilter final : public QObject {
public:
    EnterFilter(QObject* parent, PlayerControl& control) : QObject(parent), m_control(control) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_control.tap();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    PlayerControl& m_control;
};

}  // namespace

// The widget's side of the view: the list control, the screen image and the synthesizer's
// notifications, for the playback control.
struct CLyrView::Impl final : PlayerScreen, SynthListener {
    Impl(CLyrView& v, CLyrDoc& d, Notifier& notifier, WaveVolume* givenVolume)
        : view(v),
          doc(d),
          volume(givenVolume ? *givenVolume : ownVolume),
          canvas(std::max(1, v.width()), std::max(1, v.height())),
          list(new QListWidget(&v)),
          ordinaryIcon(ordinarySongIcon()),
          currentIcon(currentSongIcon()),
          control(std::make_unique<PlayerControl>(d, notifier, volume, canvas, *this, kLogicalDpi)),
          keepAwake(new QTimer(&v)) {
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setIconSize(QSize(16, 16));
        list->setUniformItemSizes(true);
        list->installEventFilter(new EnterFilter(list, *control));
        QObject::connect(list, &QListWidget::itemClicked, &v, [this] { control->tap(); });
        QObject::connect(list, &QListWidget::itemDoubleClicked, &v, [this] { control->tap(); });
        QObject::connect(list, &QListWidget::itemSelectionChanged, &v,
                         [this] { control->userSelectionChanged(); });
        keepAwake->setInterval(kKeepAwakeMs);
        QObject::connect(keepAwake, &QTimer::timeout, &v, [this] { updateKeepAwake(); });
    }

    // ---- SynthListener: any thread --------------------------------------------------------
    void post(SynthMsg code, std::uint32_t wParam) override {
        // Queued to the view's thread; a notification still queued when the view goes is
        // dropped with it.
        QMetaObject::invokeMethod(
            &view, [this, code, wParam] { handleNotification(code, wParam); },
            Qt::QueuedConnection);
    }

    void handleNotification(SynthMsg code, std::uint32_t wParam) {
        if (destroyed) return;
        control->handleNotification(code, wParam);
        updateKeepAwake();
    }

    void updateKeepAwake() {
        inhibitor.setInhibited(!destroyed && control->status() == SynthStatus::Playing);
    }

    // ---- PlayerScreen -----------------------------------------------------------------------
    void insertItem(int index, const std::u16string& text, bool current) override {
        const QSignalBlocker blocker(list);
        auto item = std::make_unique<QListWidgetItem>(current ? currentIcon : ordinaryIcon,
                                                      qStringOf(text));
        list->insertItem(index, item.release());  // the list owns its items
    }
    void removeItem(int index) override {
        const QSignalBlocker blocker(list);
        std::unique_ptr<QListWidgetItem> taken(list->takeItem(index));
    }
    void setItemCurrent(int index, bool current) override {
        if (QListWidgetItem* item = list->item(index))
            item->setIcon(current ? currentIcon : ordinaryIcon);
    }
    void selectItem(int index) override {
        const QSignalBlocker blocker(list);
        list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    }
    int selectedIndex() const override {
        int first = -1;
        for (const QModelIndex& i : list->selectionModel()->selectedIndexes())
            if (first < 0 || i.row() < first) first = i.row();
        return first;
    }
    void setListFont(const FontSpec& font) override { list->setFont(qFontOf(font)); }
    void setListVisible(bool visible) override { list->setVisible(visible); }
    void imageChanged() override { view.update(); }
    void updateNow() override { view.repaint(); }
    void setBusy(bool busy) override {
        if (busy)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QGuiApplication::restoreOverrideCursor();
    }

    void placeList() {
        list->setGeometry(kListLeft, kListTop, std::max(1, view.width() - kListSideMargins),
                          std::max(1, view.height() - kListHeightMargin));
    }

    // Gives the screen image the view's size. A new image keeps the resolution the canvas
    // measures fonts at; the control paints it whole again.
    void fitImage() {
        QImage& image = canvas.image();
        const int w = std::max(1, view.width());
        const int h = std::max(1, view.height());
        if (image.width() == w && image.height() == h) return;
        QImage resized(w, h, QImage::Format_RGB32);
        resized.setDotsPerMeterX(image.dotsPerMeterX());
        resized.setDotsPerMeterY(image.dotsPerMeterY());
        resized.fill(Qt::white);
        image = std::move(resized);
    }

    Rect clientRect() const { return Rect{0, 0, view.width(), view.height()}; }

    CLyrView& view;
    CLyrDoc& doc;
    HeldWaveVolume ownVolume;
    WaveVolume& volume;
    QtCanvas canvas;
    QListWidget* list;  // owned by the view
    QIcon ordinaryIcon;
    QIcon currentIcon;
    std::unique_ptr<PlayerControl> control;
    QTimer* keepAwake;  // owned by the view
    ScreenSaverInhibitor inhibitor;
    bool destroyed = false;
};

CLyrView::CLyrView(CLyrDoc& doc, Notifier& notifier, WaveVolume* volume, QWidget* parent)
    : QWidget(parent), m_impl(std::make_unique<Impl>(*this, doc, notifier, volume)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_impl->placeList();
}

CLyrView::~CLyrView() {
    OnDestroy();
    // The list and the timer outlive the control they call (QWidget deletes its children
    // after this body and the members are gone): nothing of theirs may reach it now.
    m_impl->list->blockSignals(true);
    m_impl->keepAwake->blockSignals(true);
}

void CLyrView::setResourceSource(const ResourceSource* resources) {
    m_impl->control->setResourceSource(resources);
}

void CLyrView::OnInitialUpdate() {
    // A window not shown yet has had no resize event for its size.
    m_impl->fitImage();
    m_impl->placeList();
    m_impl->control->initialUpdate(m_impl->clientRect(), width());
    // The desktop is kept awake during every song, whatever the first run asked for.
    m_impl->keepAwake->start();
}

void CLyrView::attachFrame(FrameControl* frame) { m_impl->control->setFrame(frame); }

SynthListener& CLyrView::synthListener() { return *m_impl; }

void CLyrView::OnDestroy() {
    if (m_impl->destroyed) return;
    m_impl->control->destroy();
    m_impl->destroyed = true;
    m_impl->keepAwake->stop();
    m_impl->inhibitor.setInhibited(false);
    // Nothing may reach the view from the library once it is gone.
    m_impl->doc.synth().timid_set_parent_wnd(nullptr);
}

void CLyrView::PlayCurrentSong() { m_impl->control->PlayCurrentSong(); }
void CLyrView::StopSong() { m_impl->control->StopSong(); }
void CLyrView::NextSong() { m_impl->control->NextSong(); }
void CLyrView::PreviousSong() { m_impl->control->PreviousSong(); }
void CLyrView::PlayCommand() { m_impl->control->PlayCommand(); }
void CLyrView::PauseCommand() {
    m_impl->control->PauseCommand();
    m_impl->updateKeepAwake();
}
void CLyrView::StopCommand() { m_impl->control->StopCommand(); }
void CLyrView::ToneUp() { m_impl->control->ToneUp(); }
void CLyrView::ToneDown() { m_impl->control->ToneDown(); }
void CLyrView::TempoUp() { m_impl->control->TempoUp(); }
void CLyrView::TempoDown() { m_impl->control->TempoDown(); }
void CLyrView::VolumeUp() { m_impl->control->VolumeUp(); }
void CLyrView::VolumeDown() { m_impl->control->VolumeDown(); }
void CLyrView::ApplyInfoBlock() { m_impl->control->ApplyInfoBlock(); }
void CLyrView::CreateFonts() { m_impl->control->CreateFonts(); }
void CLyrView::setPlaylistCaption(const std::u16string& caption) {
    m_impl->control->setPlaylistCaption(caption);
}

void CLyrView::MoveUp() { m_impl->control->MoveUp(); }
void CLyrView::MoveDown() { m_impl->control->MoveDown(); }
void CLyrView::DeleteItem() { m_impl->control->DeleteItem(); }
void CLyrView::DeleteAll() { m_impl->control->DeleteAll(); }
void CLyrView::AddFile(const std::filesystem::path& path) { m_impl->control->AddFile(path); }
void CLyrView::AddFolder(const std::filesystem::path& folder, bool recursive) {
    m_impl->control->AddFolder(folder, recursive);
}
void CLyrView::OpenPlaylist(const std::filesystem::path& path) {
    m_impl->control->OpenPlaylist(path);
}
void CLyrView::SavePlaylist(const std::filesystem::path& path) {
    m_impl->control->SavePlaylist(path);
}
void CLyrView::RebuildPlaylist(bool lyricCodeChanged) {
    m_impl->control->RebuildPlaylist(lyricCodeChanged);
}

int CLyrView::itemCount() const { return m_impl->control->playlist().count(); }
bool CLyrView::hasSelection() const { return m_impl->selectedIndex() >= 0; }
int CLyrView::selectedIndex() const { return m_impl->selectedIndex(); }
int CLyrView::currentIndex() const { return m_impl->control->playlist().currentIndex(); }
SynthStatus CLyrView::libraryStatus() const { return m_impl->control->status(); }
bool CLyrView::isListVisible() const { return m_impl->control->listVisible(); }

PlayerControl& CLyrView::control() { return *m_impl->control; }
const QImage& CLyrView::screenImage() const { return m_impl->canvas.image(); }

void CLyrView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_impl->canvas.image());
}

void CLyrView::resizeEvent(QResizeEvent*) {
    m_impl->fitImage();
    m_impl->placeList();
    m_impl->control->resize(m_impl->clientRect(), width());
}

}  // namespace melodeck
