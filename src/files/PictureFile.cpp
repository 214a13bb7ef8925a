#include "files/PictureFile.h"

#include "system/SafeFiles.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <mutex>

#include <cerrno>
#include <cmath>
#include <cstring>

namespace vellumi {

namespace {

QString openProblem(int error, const QString& fileName)
{
    // The name as listed could not be decoded, so it leads nowhere.
    if (error == ENOENT && fileName.contains(QChar::ReplacementCharacter))
        return fileProblem(QStringLiteral("文件名不是有效的 UTF-8 编码，无法打开"), fileName);
    switch (error) {
    case ENOENT:
    case ENOTDIR: return fileProblem(QStringLiteral("找不到文件"), fileName);
    case EACCES:
    case EPERM: return fileProblem(QStringLiteral("没有权限读取文件"), fileName);
    case ELOOP: return fileProblem(QStringLiteral("符号链接循环"), fileName);
    default:
        return QStringLiteral("无法打开文件：%1（%2）").arg(fileName, QString::fromLocal8Bit(std::strerror(error)));
    }
}

QImage coverAndCrop(const QImage& image, QSize size)
{
    if (image.size() == size)
        return image.convertToFormat(QImage::Format_RGB32);
    const QImage scaled = image.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    return scaled
        .copy((scaled.width() - size.width()) / 2, (scaled.height() - size.height()) / 2, size.width(), size.height())
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace

bool openRegularFile(QFile& file, const QString& fileName, QString* why)
{
    RegularFile opened(fileName);
    if (!opened.isOpen()) {
        *why = opened.error() ? openProblem(opened.error(), fileName)
                              : fileProblem(QStringLiteral("不是普通文件"), fileName);
        return false;
    }
    return file.open(opened.release(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
}

namespace {

// Reads as ended once asked to stop, so that a decode no longer wanted finishes early.
class StoppableFile : public QFile {
public:
    explicit StoppableFile(std::stop_token stop)
        : stop(std::move(stop))
    {
    }

protected:
    qint64 readData(char* data, qint64 size) override
    {
        return stop.stop_requested() ? -1 : QFile::readData(data, size);
    }

private:
    std::stop_token stop;
};

// A JPEG cut short still decodes, its missing part grey; only the missing end marker tells.
// Looked for from the end, where it nearly always is.
bool hasEndMarker(QIODevice& file, qint64 scanStart, const std::stop_token& stop)
{
    constexpr qint64 chunk = 64 * 1024;
    qint64 end = file.size();
    while (end - 1 > scanStart && !stop.stop_requested()) {
        const qint64 from = std::max(scanStart, end - chunk);
        if (!file.seek(from))
            return false;
        if (file.read(end - from).contains("\xFF\xD9"))
            return true;
        end = from + 1; // a marker across the boundary is found in the next chunk
    }
    return false;
}

} // namespace

std::optional<PictureHeader> checkPicture(const QString& fileName, QString* why, QSize size)
{
    QFile file;
    return openRegularFile(file, fileName, why) ? readPictureHeader(file, fileName, why, size) : std::nullopt;
}

QImage loadPicture(const QString& fileName, QString* why, QSize size, std::stop_token stop)
{
    // Qt's own bound on one picture's pixels would otherwise refuse pictures that ours allows.
    static std::once_flag limitSet;
    std::call_once(limitSet, [] { QImageReader::setAllocationLimit(int(maxDecodeBytes >> 20) + 128); });
    StoppableFile file(stop);
    if (!openRegularFile(file, fileName, why))
        return {};
    const std::optional<PictureHeader> header = readPictureHeader(file, fileName, why, size);
    if (!header)
        return {};
    if (header->format == "jpeg" && !hasEndMarker(file, header->scanStart, stop) && !stop.stop_requested()) {
        *why = fileProblem(QStringLiteral("图片文件不完整"), fileName);
        return {};
    }
    file.seek(0);
    // Only the format the content showed: no other plugin gets to look at the file.
    QImageReader reader(&file, header->format);
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(true);
    // Decoding straight to the size shown saves the memory and time of the full picture; the
    // reader scales the picture as stored, before turning it upright.
    const QSize stored = header->size;
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const QSize upright = turned ? stored.transposed() : stored;
    const double cover = std::max(double(size.width()) / upright.width(), double(size.height()) / upright.height());
    if (cover < 1.0)
        reader.setScaledSize(QSize(int(std::ceil(stored.width() * cover)), int(std::ceil(stored.height() * cover))));
    const QImage image = reader.read();
    if (stop.stop_requested())
        return {};
    if (image.isNull()) {
        *why = QStringLiteral("图片文件已损坏：%1（%2）").arg(fileName, reader.errorString());
        return {};
    }
    return coverAndCrop(image, size);
}

} // namespace vellumi
