// Renders the program's icon into a Windows .ico with the usual sizes.
//   zt_render_icon OUT.ico

#include "ui/AppIcon.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zt_render_icon OUT.ico\n");
        return 2;
    }
    QImage image(256, 256, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    ui::paintApplicationIcon(painter, 256);
    painter.end();
    QImageWriter writer(QString::fromLocal8Bit(argv[1]), "ico");
    if (!writer.write(image)) {
        std::fprintf(stderr, "zt_render_icon: %s\n", qPrintable(writer.errorString()));
        return 1;
    }
    return 0;
}
