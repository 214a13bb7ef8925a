#include "files/PictureLoader.h"

#include "files/PictureFile.h"

namespace vellumi {

PictureLoader::~PictureLoader() = default;

void PictureLoader::read(const QString& fileName)
{
    wanted = fileName;
    if (reading.isEmpty())
        readNext();
    else if (reading != wanted)
        worker.request_stop();
}

void PictureLoader::cancel()
{
    wanted.clear();
    worker.request_stop();
}

void PictureLoader::readNext()
{
    if (wanted.isEmpty())
        return;
    // The thread before has posted its result and so has all but returned.
    if (worker.joinable())
        worker.join();
    reading = wanted;
    worker = std::jthread([this, fileName = wanted](std::stop_token stop) {
        QString why;
        const QImage picture = loadPicture(fileName, &why, stop);
        // Posted, never called from here: a loader being destroyed takes its posted calls
        // with it, and it waits for this thread before it goes.
        QMetaObject::invokeMethod(this, [this, fileName, picture, why] { onRead(fileName, picture, why); },
                                  Qt::QueuedConnection);
    });
}

void PictureLoader::onRead(const QString& fileName, const QImage& picture, const QString& why)
{
    reading.clear();
    if (fileName != wanted || worker.get_stop_token().stop_requested())
        return readNext();
    wanted.clear();
    emit finished(fileName, picture, why);
}

} // namespace vellumi
