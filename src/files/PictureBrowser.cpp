#include "files/PictureBrowser.h"

#include "files/PictureFile.h"
#include "game/DataFiles.h"
#include "game/PictureCount.h"
#include "game/Selection.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <istream>
#include <streambuf>
#include <utility>

namespace vellumi {

namespace {

QString countFileProblem(CountError error)
{
    switch (error) {
    case CountError::None: break;
    case CountError::Empty: return QStringLiteral("图片数量文件是空的：%1");
    case CountError::NotANumber: return QStringLiteral("图片数量文件的第一项不是整数：%1");
    case CountError::OutOfRange: return QStringLiteral("图片数量超出范围（-32768 至 32767）：%1");
    case CountError::Unreadable: return QStringLiteral("无法读取图片数量文件：%1");
    }
    return {};
}

// The count file read from the very file the guard opened, as far as the reader asks and no
// further. A failed read throws, which the stream takes for a bad read.
class DeviceBuffer : public std::streambuf {
public:
    explicit DeviceBuffer(QIODevice& device)
        : device(device)
    {
    }

protected:
    int_type underflow() override
    {
        const qint64 n = device.read(bytes, sizeof bytes);
        if (n < 0)
            throw std::ios_base::failure("read");
        if (n == 0)
            return traits_type::eof();
        setg(bytes, bytes, bytes + n);
        return traits_type::to_int_type(bytes[0]);
    }

private:
    QIODevice& device;
    char bytes[512];
};

} // namespace

PictureBrowser::PictureBrowser(QString programFolder, QString ownFolder, QObject* parent)
    : QObject(parent)
    , programFolder(std::move(programFolder))
    , catalog(this->programFolder, std::move(ownFolder))
{
    connect(&loader, &PictureLoader::finished, this, &PictureBrowser::onRead);
}

QString PictureBrowser::open()
{
    const QString countFile = QString::fromStdString(pictureCountFile(programFolder.toStdString()));
    QString why;
    QFile file;
    if (!openRegularFile(file, countFile, &why))
        return why;
    DeviceBuffer buffer(file);
    std::istream in(&buffer);
    const PictureCount count = readPictureCount(in);
    if (!count.ok())
        return countFileProblem(count.error).arg(countFile);
    // Browsing would otherwise step to picture 0 or below, which can never exist.
    if (count.value < 1)
        return QStringLiteral("图片数量必须至少为 1（读到 %1）：%2").arg(count.value).arg(countFile);
    numbered = count.value;
    catalog.setNumberedCount(numbered);
    catalog.refresh();
    QStringList problems;
    int position = 0;
    for (; position < catalog.size(); ++position) {
        QImage picture = loadPicture(catalog.path(position), &why, size);
        if (!picture.isNull()) {
            apply(position, std::move(picture));
            break;
        }
        note(catalog.path(position), why, problems);
    }
    emit this->problems(problems);
    if (position == catalog.size())
        return QStringLiteral("没有可以显示的图片：%1").arg(catalog.path(0));
    return {};
}

void PictureBrowser::step(bool forward)
{
    catalog.refresh();
    // Told once, as a problem with the folder.
    if (catalog.capped() && !reported.contains(catalog.ownFolder())) {
        reported.insert(catalog.ownFolder());
        emit problems({QStringLiteral("图片太多，只能浏览前 %1 张").arg(PictureCatalog::maxSize)});
    }
    // A picture still being read is passed over like one that cannot be read.
    const int number = readingPosition >= 0 ? readingPosition + 1 : currentNumber(forward);
    stopReading();
    stepFrom(number, forward, catalog.size());
}

void PictureBrowser::showOwn(const QString& path)
{
    catalog.refresh();
    const int position = catalog.positionOf(path);
    if (position < 0)
        return;
    stopReading();
    stepFrom(position, true, 1);
}

bool PictureBrowser::showNow(const QString& path)
{
    catalog.refresh();
    int position = catalog.positionOf(path);
    for (int i = 0; i < numbered && position < 0; ++i)
        position = catalog.path(i) == path ? i : -1;
    QString why;
    QImage picture = position < 0 ? QImage() : loadPicture(path, &why, size);
    if (picture.isNull())
        return false;
    stopReading();
    apply(position, std::move(picture));
    return true;
}

void PictureBrowser::stopReading()
{
    loader.cancel();
    readingPosition = -1;
    rereading = false;
}

void PictureBrowser::setPictureSize(QSize size)
{
    if (size == this->size)
        return;
    this->size = size;
    if (current.isNull())
        return;
    // What is on show at once, sharp as soon as it is read.
    current = current.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    emit rescaled();
    if (stampOf(currentPath) != currentStamp || readingPosition >= 0)
        return;
    QString why;
    const std::optional<PictureHeader> header = checkPicture(currentPath, &why, size);
    if (header && !header->isQuickToRead()) {
        rereading = true;
        loader.read(currentPath, size);
        return;
    }
    if (QImage picture = header ? loadPicture(currentPath, &why, size) : QImage(); !picture.isNull()) {
        current = std::move(picture);
        emit rescaled();
    }
}

QString PictureBrowser::stampOf(const QString& path) const
{
    const QFileInfo file(path);
    return QStringLiteral("%1 %2").arg(file.size()).arg(file.lastModified().toMSecsSinceEpoch());
}

int PictureBrowser::currentNumber(bool forward) const
{
    int number = shownNumber;
    if (number > numbered) {
        // One of the player's own pictures: they may have moved, or this one gone, meanwhile.
        const int now = catalog.positionOf(currentPath);
        number = now >= 0 ? now + 1 : number - (forward ? 1 : 0);
    }
    // Past the end when the last pictures have gone: the step goes to the new last or first.
    return std::min(number, catalog.size() + (forward ? 0 : 1));
}

void PictureBrowser::stepFrom(int number, bool forward, int tries)
{
    QStringList problems;
    const auto count = static_cast<std::int16_t>(catalog.size());
    while (tries-- > 0) {
        number = forward ? nextPicture(std::int16_t(number), count) : previousPicture(std::int16_t(number), count);
        const Shown shown = show(number - 1, problems);
        if (shown == Shown::Later) {
            readingForward = forward;
            readingTries = tries;
        }
        if (shown != Shown::Never)
            break;
    }
    emit this->problems(problems);
}

PictureBrowser::Shown PictureBrowser::show(int position, QStringList& problems)
{
    const QString path = catalog.path(position);
    QString why;
    const std::optional<PictureHeader> header = checkPicture(path, &why);
    if (header && !header->isQuickToRead()) {
        readingPosition = position;
        loader.read(path, size);
        return Shown::Later;
    }
    QImage picture = header ? loadPicture(path, &why, size) : QImage();
    if (picture.isNull()) {
        note(path, why, problems);
        return Shown::Never;
    }
    apply(position, std::move(picture));
    return Shown::Now;
}

void PictureBrowser::onRead(const QString& fileName, const QImage& picture, const QString& why)
{
    // The picture on show, read again for a new scale: if it cannot be read now, it stays scaled.
    if (std::exchange(rereading, false)) {
        if (!picture.isNull() && picture.size() == size) {
            current = picture;
            emit rescaled();
        }
        return;
    }
    const int position = std::exchange(readingPosition, -1);
    if (!picture.isNull()) {
        apply(position, picture);
        return;
    }
    QStringList problems;
    note(fileName, why, problems);
    emit this->problems(problems);
    stepFrom(position + 1, readingForward, readingTries);
}

void PictureBrowser::apply(int position, QImage picture)
{
    // Read before the scale changed.
    if (picture.size() != size)
        picture = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    current = std::move(picture);
    currentPath = catalog.path(position);
    currentStamp = stampOf(currentPath);
    shownNumber = position + 1;
    emit shown();
}

void PictureBrowser::note(const QString& path, const QString& why, QStringList& problems)
{
    if (!reported.contains(path)) {
        reported.insert(path);
        problems << why;
    }
}

} // namespace vellumi
