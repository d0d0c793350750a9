#include "lyr_view.h"

#include <QImage>

#include "frame_control.h"
#include "lyr_doc.h"
#include "notifier.h"
#include "wave_volume.h"

namespace melodeck {

namespace {

// Sends the library's notifications nowhere until the playback logic is in place.
class NullListener final : public SynthListener {
public:
    void post(SynthMsg, std::uint32_t) override {}
};

}  // namespace

struct CLyrView::Impl {
    Impl(CLyrDoc& d, Notifier& n) : doc(d), notifier(n) {}
    CLyrDoc& doc;
    Notifier& notifier;
    FrameControl* frame = nullptr;
    NullListener listener;
    QImage screen{1, 1, QImage::Format_RGB32};
    bool destroyed = false;
};

CLyrView::CLyrView(CLyrDoc& doc, Notifier& notifier, WaveVolume* /*volume*/, QWidget* parent)
    : QWidget(parent), m_impl(std::make_unique<Impl>(doc, notifier)) {}

CLyrView::~CLyrView() { OnDestroy(); }

void CLyrView::setResourceSource(const ResourceSource*) {}
void CLyrView::OnInitialUpdate() {}
void CLyrView::attachFrame(FrameControl* frame) { m_impl->frame = frame; }
SynthListener& CLyrView::synthListener() { return m_impl->listener; }
void CLyrView::OnDestroy() { m_impl->destroyed = true; }

void CLyrView::PlayCurrentSong() {}
void CLyrView::StopSong() {}
void CLyrView::NextSong() {}
void CLyrView::PreviousSong() {}
void CLyrView::PlayCommand() {}
void CLyrView::PauseCommand() {}
void CLyrView::StopCommand() {}
void CLyrView::ToneUp() {}
void CLyrView::ToneDown() {}
void CLyrView::TempoUp() {}
void CLyrView::TempoDown() {}
void CLyrView::VolumeUp() {}
void CLyrView::VolumeDown() {}
void CLyrView::ApplyInfoBlock() {}
void CLyrView::CreateFonts() {}

void CLyrView::MoveUp() {}
void CLyrView::MoveDown() {}
void CLyrView::DeleteItem() {}
void CLyrView::DeleteAll() {}
void CLyrView::AddFile(const std::filesystem::path&) {}
void CLyrView::AddFolder(const std::filesystem::path&, bool) {}
void CLyrView::OpenPlaylist(const std::filesystem::path&) {}
void CLyrView::SavePlaylist(const std::filesystem::path&) {}
void CLyrView::RebuildPlaylist(bool) {}

int CLyrView::itemCount() const { return 0; }
bool CLyrView::hasSelection() const { return false; }
int CLyrView::selectedIndex() const { return -1; }
int CLyrView::currentIndex() const { return -1; }
SynthStatus CLyrView::libraryStatus() const { return m_impl->doc.synth().timid_get_status(); }
bool CLyrView::isListVisible() const { return true; }

const QImage& CLyrView::screenImage() const { return m_impl->screen; }

void CLyrView::paintEvent(QPaintEvent*) {}
void CLyrView::resizeEvent(QResizeEvent*) {}

}  // namespace melodeck
