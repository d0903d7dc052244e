// Build-time helper: draws an SVG icon into square PNG files, one per size,
// for the desktop's icon theme (OUT_DIR/SIZExSIZE/apps/NAME.png).
//
//     pixora-render-icons ICON.svg NAME OUT_DIR SIZE...

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s ICON.svg NAME OUT_DIR SIZE...\n", argv[0]);
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    for (int i = 4; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 1 || size > 1024) {
            std::fprintf(stderr, "%s: bad size %s\n", argv[0], argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            svg.render(&p, QRectF(0, 0, size, size));
        }
        const QString dir = QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[3])).arg(size);
        QDir().mkpath(dir);
        const QString file = dir + "/" + QString::fromLocal8Bit(argv[2]) + ".png";
        if (!image.convertToFormat(QImage::Format_ARGB32).save(file, "PNG")) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(file));
            return 1;
        }
    }
    return 0;
}
