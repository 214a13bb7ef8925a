#include "files/PictureImport.h"

#include "files/PictureCatalog.h"
#include "files/PictureFile.h"
#include "system/SafeFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumi {

namespace {

QString writeProblem(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT: return QStringLiteral("磁盘已满");
    case EROFS: return QStringLiteral("图片文件夹是只读的");
    case EACCES:
    case EPERM: return QStringLiteral("没有权限写入图片文件夹");
    case ENAMETOOLONG: return QStringLiteral("文件名太长");
    case ENOTDIR:
    case EEXIST: return QStringLiteral("图片文件夹的位置上有一个文件");
    default: return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString refusal(const QString& reason, const QString& fileName)
{
    return QStringLiteral("没有加入（%1：%2）").arg(reason, fileName);
}

// A name the folder lists: one with a leading dot would be hidden, never browsed to.
QString keptName(const QString& fileName)
{
    QString name = fileName;
    while (name.startsWith(u'.'))
        name.remove(0, 1);
    return name;
}

// Never over a file already there, not even one that appears meanwhile: a name in use gets a
// number.
int moveIntoPlace(const QString& from, const QDir& folder, const QString& name, QString* path)
{
    const QFileInfo info(name);
    int error = EEXIST;
    for (int n = 1; n < 10'000 && error == EEXIST; ++n) {
        *path = folder.filePath(
            n == 1 ? name : QStringLiteral("%1 (%2).%3").arg(info.completeBaseName()).arg(n).arg(info.suffix()));
        error = moveWithoutReplacing(from, *path);
    }
    return error;
}

// The errno of the first failure, or 0. The copy is made under a hidden name, which the
// listing passes over, and takes its own name only once whole, so that browsing meanwhile
// never meets half a picture. A copy that fails or is stopped is removed.
int copyFile(const QString& from, const QDir& folder, const QString& name, QString* to, const std::stop_token& stop)
{
    RegularFile source(from);
    if (!source.isOpen())
        return source.error() ? source.error() : EINVAL;
    const int in = source.release();
    QByteArray part = QFile::encodeName(folder.filePath(QStringLiteral(".vellumi-copy-XXXXXX")));
    const int out = ::mkostemp(part.data(), O_CLOEXEC);
    int error = out < 0 ? errno : 0;
    std::vector<char> buffer(1 << 20);
    while (error == 0 && !stop.stop_requested()) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got <= 0) {
            error = got < 0 ? errno : 0;
            break;
        }
        // A regular file takes less than it is given only when the disk is full.
        const ssize_t put = ::write(out, buffer.data(), size_t(got));
        if (put != got)
            error = put < 0 ? errno : ENOSPC;
    }
    if (out >= 0 && ::fchmod(out, 0644) != 0 && error == 0)
        error = errno;
    if (out >= 0 && ::close(out) != 0 && error == 0)
        error = errno; // a full disk may only say so here
    ::close(in);
    if (out >= 0 && error == 0 && !stop.stop_requested())
        error = moveIntoPlace(QFile::decodeName(part), folder, name, to);
    if (out >= 0 && (error != 0 || stop.stop_requested()))
        ::unlink(part.constData());
    return error;
}

} // namespace

PictureImport::~PictureImport() = default;

void PictureImport::start(const QStringList& files, const QString& folder)
{
    if (worker.joinable())
        worker.join();
    running = true;
    worker = std::jthread([this, files, folder](std::stop_token stop) {
        QStringList copied, refused;
        std::error_code made;
        std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), made);
        const QDir into(folder);
        for (qsizetype i = 0; i < files.size() && !stop.stop_requested(); ++i) {
            const QString& from = files[i];
            const QString name = keptName(QFileInfo(from).fileName());
            QString why, to;
            if (!PictureCatalog::looksLikeImage(name))
                refused << refusal(QStringLiteral("不是图片文件名"), from);
            else if (!checkPicture(from, &why))
                refused << QStringLiteral("没有加入（%1）").arg(why);
            else if (made)
                refused << refusal(writeProblem(made.value()), from);
            else if (const int error = copyFile(from, into, name, &to, stop))
                refused << refusal(writeProblem(error), from);
            else if (!stop.stop_requested())
                copied << to;
            QMetaObject::invokeMethod(
                this, [this, done = int(i + 1), total = int(files.size())] { emit progressed(done, total); },
                Qt::QueuedConnection);
        }
        QMetaObject::invokeMethod(
            this,
            [this, copied, refused] {
                running = false;
                emit finished(copied, refused);
            },
            Qt::QueuedConnection);
    });
}

void PictureImport::cancel()
{
    worker.request_stop();
}

} // namespace vellumi
