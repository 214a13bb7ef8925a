// Renders the launcher icon at the fixed sizes of the hicolor theme, for desktops that do not
// scale the SVG themselves or that prefer a bitmap at small sizes.
//
//   vellumi_mkicons ICON.svg OUTDIR SIZE...   writes OUTDIR/SIZExSIZE/apps/vellumi.png
//
// Each size is drawn from the geometry, never scaled from another bitmap, so the bands stay
// crisp from 16 to 256 pixels.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: vellumi_mkicons ICON.svg OUTDIR SIZE...\n");
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "vellumi_mkicons: cannot read %s\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 1) {
            std::fprintf(stderr, "vellumi_mkicons: %s is not a size\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();

        const QString dir = QString::fromLocal8Bit(argv[2]) + QStringLiteral("/%1x%1/apps").arg(size);
        const QString path = dir + QStringLiteral("/vellumi.png");
        if (!QDir().mkpath(dir) || !image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) {
            std::fprintf(stderr, "vellumi_mkicons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
