#include "ui/PictureFile.h"

#include <QFile>
#include <QImageReader>

#include <cerrno>
#include <cmath>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumi {

namespace {

// Beyond this a file is refused before decoding: no camera makes such pictures, and the frame
// header of a damaged or hostile file can claim any size at all.
constexpr qint64 maxPixels = 250'000'000;

QString problem(const char* reason, const QString& fileName)
{
    return QStringLiteral("%1：%2").arg(QString::fromUtf8(reason), fileName);
}

QString openProblem(int error, const QString& fileName)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return problem("找不到文件", fileName);
    case EACCES:
    case EPERM: return problem("没有权限读取文件", fileName);
    case ELOOP: return problem("符号链接循环", fileName);
    default: return QStringLiteral("无法打开文件：%1（%2）").arg(fileName, QString::fromLocal8Bit(std::strerror(error)));
    }
}

QImage coverPictureSize(const QImage& image)
{
    if (image.size() == pictureSize)
        return image.convertToFormat(QImage::Format_RGB32);
    const QImage scaled = image.scaled(pictureSize, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    return scaled
        .copy((scaled.width() - pictureSize.width()) / 2, (scaled.height() - pictureSize.height()) / 2,
              pictureSize.width(), pictureSize.height())
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace

bool isRegularFile(const QString& fileName, QString* why)
{
    struct stat info {};
    if (::stat(QFile::encodeName(fileName).constData(), &info) != 0) {
        *why = openProblem(errno, fileName);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        *why = problem("不是普通文件", fileName);
        return false;
    }
    return true;
}

QImage loadPicture(const QString& fileName, QString* why)
{
    if (!isRegularFile(fileName, why))
        return {};
    // Non-blocking, and checked again once open: the file may have been swapped since.
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *why = fd < 0 ? openProblem(errno, fileName) : problem("不是普通文件", fileName);
        if (fd >= 0)
            ::close(fd);
        return {};
    }
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);

    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (!reader.canRead() || !stored.isValid()) {
        *why = problem("不是图片文件", fileName);
        return {};
    }
    if (qint64(stored.width()) * stored.height() > maxPixels) {
        *why = problem("图片太大", fileName);
        return {};
    }
    // Decoding straight to the size shown saves the memory and time of the full picture; the
    // reader scales the picture as stored, before turning it upright.
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const QSize upright = turned ? stored.transposed() : stored;
    const double cover = std::max(double(pictureSize.width()) / upright.width(), double(pictureSize.height()) / upright.height());
    if (cover < 1.0)
        reader.setScaledSize(QSize(int(std::ceil(stored.width() * cover)), int(std::ceil(stored.height() * cover))));
    const QImage image = reader.read();
    if (image.isNull()) {
        *why = QStringLiteral("图片文件已损坏：%1（%2）").arg(fileName, reader.errorString());
        return {};
    }
    return coverPictureSize(image);
}

} // namespace vellumi
