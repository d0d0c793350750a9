// Draws the toolbar images, the playlist item icons and the application icon of Melodeck.
//
//   make_toolbar_images TOOLBAR_DIR ICON_DIR
//
// Every picture is described once in a 16x15 (toolbar) or 16x16 (icon) grid and painted at
// 1x and 2x, so toolbar/<name>.png is 16x15 and toolbar/<name>@2x.png 32x30, the sizes of the
// toolbar images on ordinary and high-resolution screens. The application icon is painted at
// the usual hicolor sizes as ICON_DIR/<size>/melodeck.png. The output is kept in the
// repository; run this only to change the pictures.
#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QColor kInk(0x30, 0x36, 0x40);
const QColor kGreen(0x2e, 0x8b, 0x3a);
const QColor kBlue(0x1f, 0x5f, 0xbf);
const QColor kRed(0xc6, 0x28, 0x28);
const QColor kAmber(0xe8, 0xa3, 0x17);
const QColor kGrey(0x8a, 0x90, 0x99);

using Drawing = std::function<void(QPainter&)>;

void polygon(QPainter& p, const QColor& color, std::initializer_list<QPointF> points) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF(QList<QPointF>(points)));
}

void box(QPainter& p, const QColor& color, qreal x, qreal y, qreal w, qreal h) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRect(QRectF(x, y, w, h));
}

void line(QPainter& p, const QColor& color, qreal width, QPointF a, QPointF b) {
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawLine(a, b);
}

// An eighth note whose head sits at (x, y).
void note(QPainter& p, const QColor& color, qreal x, qreal y, qreal scale = 1.0) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QPointF(x, y), 2.4 * scale, 1.8 * scale);
    line(p, color, 1.2 * scale, QPointF(x + 2.0 * scale, y), QPointF(x + 2.0 * scale, y - 9 * scale));
    line(p, color, 1.2 * scale, QPointF(x + 2.0 * scale, y - 9 * scale),
         QPointF(x + 5.0 * scale, y - 6 * scale));
}

void plus(QPainter& p, const QColor& color, qreal cx, qreal cy) {
    line(p, color, 2.0, QPointF(cx - 3, cy), QPointF(cx + 3, cy));
    line(p, color, 2.0, QPointF(cx, cy - 3), QPointF(cx, cy + 3));
}

// A small triangle in the right-hand column: pointing up for "more", down for "less".
void moreLess(QPainter& p, bool up) {
    if (up) {
        polygon(p, kGreen, {{10.5, 7}, {15.5, 7}, {13, 2.5}});
    } else {
        polygon(p, kRed, {{10.5, 8}, {15.5, 8}, {13, 12.5}});
    }
}

void speaker(QPainter& p) {
    box(p, kInk, 1, 5, 3, 5);
    polygon(p, kInk, {{4, 5}, {8, 1.5}, {8, 13.5}, {4, 10}});
}

void metronome(QPainter& p) {
    polygon(p, kInk, {{2, 13.5}, {9, 13.5}, {6.5, 1.5}, {4.5, 1.5}});
    line(p, QColor(Qt::white), 1.0, QPointF(5.5, 11), QPointF(8, 4));
}

void infoPanel(QPainter& p, bool on) {
    p.setPen(QPen(on ? kBlue : kGrey, 1.0));
    p.setBrush(on ? kBlue : QColor(Qt::white));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 12), 2, 2);
    const QColor ink = on ? QColor(Qt::white) : kGrey;
    box(p, ink, 7, 3.5, 2, 2);
    box(p, ink, 7, 6.5, 2, 5.5);
}

void folder(QPainter& p) {
    polygon(p, kAmber, {{1, 3}, {6, 3}, {7.5, 5}, {13, 5}, {13, 13}, {1, 13}});
    box(p, QColor(0xf5, 0xc8, 0x4c), 1, 6.5, 12, 6.5);
}

struct Picture {
    const char* name;
    Drawing draw;
};

std::vector<Picture> toolbarPictures() {
    return {
        {"play", [](QPainter& p) { polygon(p, kGreen, {{4, 2}, {4, 13}, {13, 7.5}}); }},
        {"pause",
         [](QPainter& p) {
             box(p, kBlue, 4, 2.5, 3, 10);
             box(p, kBlue, 9, 2.5, 3, 10);
         }},
        {"stop", [](QPainter& p) { box(p, kRed, 3.5, 3, 9, 9); }},
        {"previous",
         [](QPainter& p) {
             box(p, kInk, 2.5, 3, 2, 9);
             polygon(p, kInk, {{13, 3}, {13, 12}, {5, 7.5}});
         }},
        {"next",
         [](QPainter& p) {
             box(p, kInk, 11.5, 3, 2, 9);
             polygon(p, kInk, {{3, 3}, {3, 12}, {11, 7.5}});
         }},
        {"add_song",
         [](QPainter& p) {
             note(p, kInk, 4, 11);
             plus(p, kGreen, 12, 11);
         }},
        {"add_folder",
         [](QPainter& p) {
             folder(p);
             plus(p, kGreen, 12, 11);
         }},
        {"up", [](QPainter& p) {
             polygon(p, kBlue, {{8, 1.5}, {14, 8}, {10.5, 8}, {10.5, 13.5}, {5.5, 13.5},
                                {5.5, 8}, {2, 8}});
         }},
        {"down", [](QPainter& p) {
             polygon(p, kBlue, {{8, 13.5}, {14, 7}, {10.5, 7}, {10.5, 1.5}, {5.5, 1.5},
                                {5.5, 7}, {2, 7}});
         }},
        {"delete",
         [](QPainter& p) {
             line(p, kRed, 2.5, QPointF(4, 3.5), QPointF(12, 11.5));
             line(p, kRed, 2.5, QPointF(12, 3.5), QPointF(4, 11.5));
         }},
        {"info_off", [](QPainter& p) { infoPanel(p, false); }},
        {"info_on", [](QPainter& p) { infoPanel(p, true); }},
        {"repeat",
         [](QPainter& p) {
             p.setPen(QPen(kInk, 1.8));
             p.setBrush(Qt::NoBrush);
             p.drawArc(QRectF(2.5, 2.5, 10, 10), 100 * 16, 290 * 16);
             polygon(p, kInk, {{6.5, 0.5}, {10, 2.8}, {6.5, 5.5}});
         }},
        {"tone_down",
         [](QPainter& p) {
             note(p, kInk, 3.5, 11.5);
             moreLess(p, false);
         }},
        {"tone_up",
         [](QPainter& p) {
             note(p, kInk, 3.5, 11.5);
             moreLess(p, true);
         }},
        {"tempo_down",
         [](QPainter& p) {
             metronome(p);
             moreLess(p, false);
         }},
        {"tempo_up",
         [](QPainter& p) {
             metronome(p);
             moreLess(p, true);
         }},
        {"volume_down",
         [](QPainter& p) {
             speaker(p);
             moreLess(p, false);
         }},
        {"volume_up",
         [](QPainter& p) {
             speaker(p);
             moreLess(p, true);
         }},
    };
}

std::vector<Picture> itemPictures() {
    return {
        {"item_normal", [](QPainter& p) { note(p, kGrey, 5, 12.5); }},
        {"item_current",
         [](QPainter& p) {
             note(p, kInk, 4, 12.5);
             polygon(p, kGreen, {{10, 4}, {10, 13}, {15.5, 8.5}});
         }},
    };
}

// A rounded square in a violet gradient with a microphone and a note, on a 16x16 grid.
void appIcon(QPainter& p) {
    QLinearGradient fill(0, 0, 0, 16);
    fill.setColorAt(0, QColor(0x8e, 0x44, 0xc8));
    fill.setColorAt(1, QColor(0x4a, 0x1e, 0x8a));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    const QColor white(Qt::white);
    p.setBrush(white);
    p.drawRoundedRect(QRectF(3.2, 2.5, 4.2, 6.5), 2.1, 2.1);
    p.setPen(QPen(white, 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2.3, 5, 6, 6), 180 * 16, 180 * 16);
    line(p, white, 0.9, QPointF(5.3, 11), QPointF(5.3, 13));
    line(p, white, 0.9, QPointF(3.8, 13.2), QPointF(6.8, 13.2));
    note(p, QColor(0xff, 0xd5, 0x4f), 10.5, 12, 0.8);
}

bool paint(const Drawing& draw, int width, int height, qreal scale, const QString& file) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    draw(painter);
    painter.end();
    if (!image.save(file, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_toolbar_images TOOLBAR_DIR ICON_DIR\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString toolbarDir = QString::fromLocal8Bit(argv[1]);
    const QString iconDir = QString::fromLocal8Bit(argv[2]);
    bool ok = true;
    for (const Picture& picture : toolbarPictures()) {
        const QString base = toolbarDir + '/' + picture.name;
        ok = paint(picture.draw, 16, 15, 1, base + ".png") && ok;
        ok = paint(picture.draw, 32, 30, 2, base + "@2x.png") && ok;
    }
    for (const Picture& picture : itemPictures()) {
        const QString base = toolbarDir + '/' + picture.name;
        ok = paint(picture.draw, 16, 16, 1, base + ".png") && ok;
        ok = paint(picture.draw, 32, 32, 2, base + "@2x.png") && ok;
    }
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString file = iconDir + QString("/%1x%1/melodeck.png").arg(size);
        ok = paint(appIcon, size, size, size / 16.0, file) && ok;
    }
    return ok ? 0 : 1;
}
