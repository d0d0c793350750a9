#include "list_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace melodeck {
namespace {

constexpr int kIconSize = 16;

QPixmap blankIcon() {
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

}  // namespace

QIcon ordinarySongIcon() {
    QPixmap pixmap = blankIcon();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor grey(112, 112, 112);
    p.setPen(Qt::NoPen);
    p.setBrush(grey);
    // An eighth note: the head, the stem and the flag.
    p.drawEllipse(QRectF(3, 10, 6, 4.5));
    p.drawRect(QRectF(7.5, 2, 1.5, 10));
    QPainterPath flag;
    flag.moveTo(9, 2);
    flag.cubicTo(12, 3.5, 13, 5.5, 12, 8);
    flag.cubicTo(11.5, 6.5, 10.5, 5.5, 9, 5.5);
    flag.closeSubpath();
    p.drawPath(flag);
    return QIcon(pixmap);
}

QIcon currentSongIcon() {
    QPixmap pixmap = blankIcon();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 90, 30), 1));
    p.setBrush(QColor(46, 160, 67));
    const QPointF mark[] = {{4, 2.5}, {13.5, 8}, {4, 13.5}};
    p.drawPolygon(mark, 3);
    return QIcon(pixmap);
}

}  // namespace melodeck
