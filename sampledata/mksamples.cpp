// Writes the pictures, move sound and readme that the game loads from beside
// its executable. Everything is drawn from code with fixed seeds so that a
// build reproduces the same bytes and the repository carries no binary assets.
//
// Usage: mksamples <output-folder>

#include "MoveSound.h"
#include "Output.h"
#include "Readme.h"
#include "Scenes.h"

#include <QCoreApplication>
#include <QDir>
#include <QImageWriter>

#include <cstdint>
#include <cstdio>
#include <iterator>

using namespace mksamples;

int main(int argc, char* argv[])
{
    // Only for plugin lookup: the JPEG writer is a plugin. No display is needed.
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: mksamples <output-folder>\n");
        return 2;
    }
    if (!QImageWriter::supportedImageFormats().contains("jpeg")) {
        std::fprintf(stderr, "mksamples: Qt has no JPEG writer (imageformats plugin missing)\n");
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("image"))) {
        std::fprintf(stderr, "mksamples: cannot create %s\n",
                     qPrintable(QDir::toNativeSeparators(out.filePath("image"))));
        return 1;
    }

    const int count = int(std::size(pictures));
    for (int i = 0; i < count; ++i) {
        // Each picture has its own seed so that changing one leaves the others' bytes alone.
        Rng rng(0x7e55a000u + std::uint32_t(i));
        if (!saveJpeg(out.filePath(QStringLiteral("image/angle%1.jpg").arg(i + 1)), pictures[i](rng)))
            return 1;
    }
    const QByteArray sound = moveSound();
    const bool ok = save(out.filePath(QStringLiteral("image/picture.txt")), QByteArray::number(count) + '\n') &&
                    !sound.isEmpty() && save(out.filePath(QStringLiteral("move.wav")), sound) &&
                    save(out.filePath(QStringLiteral("readme.txt")), QByteArray(readme));
    return ok ? 0 : 1;
}
