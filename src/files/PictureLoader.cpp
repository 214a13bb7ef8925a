#include "files/PictureLoader.h"

#include "files/PictureFile.h"

namespace vellumi {

void PictureLoader::read(const QString& fileName)
{
    // Asked again for the file in hand, it reads on rather than starting over.
    if (fileName == reading)
        return;
    reading = fileName;
    task.run([this, fileName](std::stop_token stop) -> std::function<void()> {
        QString why;
        QImage picture = loadPicture(fileName, &why, stop);
        return [this, fileName, picture = std::move(picture), why] {
            reading.clear();
            emit finished(fileName, picture, why);
        };
    });
}

void PictureLoader::cancel()
{
    reading.clear();
    task.cancel();
}

} // namespace vellumi
