#include "Output.h"

#include <QDir>
#include <QImageWriter>
#include <QSaveFile>

#include <cstdio>

namespace mksamples {

bool save(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    std::fprintf(stderr, "mksamples: cannot write %s: %s\n", qPrintable(QDir::toNativeSeparators(path)),
                 qPrintable(file.errorString()));
    return false;
}

bool saveJpeg(const QString& path, const QImage& image)
{
    QSaveFile file(path);
    QImageWriter writer(&file, "jpeg");
    writer.setQuality(90);
    writer.setOptimizedWrite(false);
    writer.setProgressiveScanWrite(false);
    if (file.open(QIODevice::WriteOnly) && writer.write(image) && file.commit())
        return true;
    const QString why = writer.error() != QImageWriter::UnknownError ? writer.errorString() : file.errorString();
    std::fprintf(stderr, "mksamples: cannot write %s: %s\n", qPrintable(QDir::toNativeSeparators(path)),
                 qPrintable(why));
    return false;
}

} // namespace mksamples
