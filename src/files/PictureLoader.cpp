#include "files/PictureLoader.h"

#include "files/PictureFile.h"

namespace vellumi {

void PictureLoader::read(const QString& fileName, QSize size)
{
    // Asked again for the file in hand, it reads on rather than starting over.
    if (fileName == reading && size == readingSize)
        return;
    reading = fileName;
    readingSize = size;
    task.run([this, fileName, size](std::stop_token stop) -> std::function<void()> {
        QString why;
        QImage picture = loadPicture(fileName, &why, size, stop);
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
