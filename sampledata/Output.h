#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace mksamples {

// Each writes the whole file or leaves what was there, and says on standard
// error why it failed.
bool save(const QString& path, const QByteArray& bytes);
bool saveJpeg(const QString& path, const QImage& image);

} // namespace mksamples
