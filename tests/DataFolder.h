#pragma once

#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>

// Test pictures and program folders, made on the spot.
namespace testdata {

// Every pixel of a picture different from its neighbours, and every picture different from the
// others, so a tile from the wrong place or the wrong picture cannot pass for the right one.
inline QImage picture(int number, int width = 480, int height = 360)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x & 0xff, y & 0xff, (number * 40 + (x >> 8) * 8) & 0xff));
    return image;
}

inline bool writeFile(const QString& name, const QByteArray& content)
{
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// A program folder with the count file and the pictures numbered 1 … pictures.
inline bool makeDataFolder(const QString& folder, const QByteArray& count, int pictures)
{
    bool ok =
        QDir(folder).mkpath(QStringLiteral("image")) && writeFile(folder + QStringLiteral("/image/picture.txt"), count);
    for (int p = 1; p <= pictures && ok; ++p)
        ok = picture(p).save(folder + QStringLiteral("/image/angle%1.jpg").arg(p), nullptr, 95);
    return ok;
}

// The picture as the game will decode it.
inline QImage decoded(const QString& folder, int number)
{
    return QImage(folder + QStringLiteral("/image/angle%1.jpg").arg(number)).convertToFormat(QImage::Format_RGB32);
}

} // namespace testdata
