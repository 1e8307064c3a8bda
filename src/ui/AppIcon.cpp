#include "ui/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace ui {

void paintApplicationIcon(QPainter& painter, int size) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // The drawing is on a 256-unit grid, like the SVG.
    painter.scale(size / 256.0, size / 256.0);
    const QColor ink(0x2b, 0x3a, 0x55);
    const QColor face(0xf4, 0xf1, 0xea);
    const QColor step(0xd6, 0x28, 0x28);

    painter.setPen(QPen(ink, 14));
    painter.setBrush(face);
    painter.drawEllipse(QPointF(128, 128), 110, 110);

    painter.setPen(QPen(ink, 8, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QLineF(128, 34, 128, 52));
    painter.drawLine(QLineF(222, 128, 204, 128));
    painter.drawLine(QLineF(128, 222, 128, 204));
    painter.drawLine(QLineF(34, 128, 52, 128));

    painter.setPen(QPen(ink, 10, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QLineF(128, 128, 128, 66));
    painter.drawLine(QLineF(128, 128, 170, 104));

    const QPolygonF steps{{56, 186}, {92, 186}, {92, 160}, {128, 160}, {128, 134},
                          {164, 134}, {164, 160}, {200, 160}};
    painter.setPen(QPen(step, 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(steps);

    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawEllipse(QPointF(128, 128), 9, 9);
    painter.restore();
}

QIcon applicationIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paintApplicationIcon(painter, size);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace ui
