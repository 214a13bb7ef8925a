#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <thread>

namespace vellumi {

// Reads pictures too big to read at once, one at a time, off the window's thread. Only the
// newest request counts: the one being read when another comes is asked to stop, and the
// newer one is read once it has. So however fast requests come, at most one picture is being
// decoded, and the memory of one is all it takes.
class PictureLoader : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Asks the reading to stop and waits for it, which a stopped decode makes short.
    ~PictureLoader() override;

    void read(const QString& fileName);
    // Nothing asked for is delivered any more.
    void cancel();

signals:
    // The picture as loadPicture() reads it: null, with the reason, when it cannot be read.
    void finished(const QString& fileName, const QImage& picture, const QString& why);

private:
    void readNext();
    void onRead(const QString& fileName, const QImage& picture, const QString& why);

    std::jthread worker;
    QString reading; // the file being read, if any
    QString wanted;  // the file whose picture is still wanted, if any
};

} // namespace vellumi
