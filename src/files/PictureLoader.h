#pragma once

#include "system/LatestTask.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

namespace vellumi {

// Reads pictures too big to read at once off the window's thread. Only the newest request
// counts, so however fast requests come, at most one picture is being decoded, and the memory
// of one is all it takes.
class PictureLoader : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void read(const QString& fileName, QSize size);
    // Nothing asked for is delivered any more.
    void cancel();

signals:
    // The picture as loadPicture() reads it: null, with the reason, when it cannot be read.
    void finished(const QString& fileName, const QImage& picture, const QString& why);

private:
    LatestTask task;
    QString reading; // the file being read, if any
    QSize readingSize;
};

} // namespace vellumi
