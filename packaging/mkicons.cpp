// Writes the desktop icons from the same drawing the window uses for its own icon, so the
// launcher and the title bar can never drift apart.
//
//   vellumi_mkicons OUT32.png OUT256.png
//
// The 256-pixel icon is the 32-pixel one enlarged by whole pixels (each becomes an 8 × 8
// block): redrawing the arcs larger would give a different, smoother picture than the one the
// player sees in the title bar, and any smoothing would blur the hard-edged bands.
#include "ui/Artwork.h"

#include <QImage>
#include <QString>

#include <cstdio>

namespace {

QImage enlarged(const QImage& small, int factor)
{
    QImage big(small.width() * factor, small.height() * factor, small.format());
    for (int y = 0; y < big.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(small.constScanLine(y / factor));
        auto* to = reinterpret_cast<QRgb*>(big.scanLine(y));
        for (int x = 0; x < big.width(); ++x)
            to[x] = from[x / factor];
    }
    return big;
}

bool save(const QImage& image, const char* path)
{
    if (image.save(QString::fromLocal8Bit(path), "PNG"))
        return true;
    std::fprintf(stderr, "vellumi_mkicons: cannot write %s\n", path);
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: vellumi_mkicons OUT32.png OUT256.png\n");
        return 2;
    }
    const QImage icon = vellumi::artwork::windowIcon().convertToFormat(QImage::Format_ARGB32);
    if (icon.size() != QSize(32, 32)) {
        std::fprintf(stderr, "vellumi_mkicons: the window icon is %d x %d, not 32 x 32\n", icon.width(),
                     icon.height());
        return 1;
    }
    return save(icon, argv[1]) && save(enlarged(icon, 8), argv[2]) ? 0 : 1;
}
