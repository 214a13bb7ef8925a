#include "system/SafeFiles.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace vellumi {

RegularFile::RegularFile(const QString& path, bool followLinks)
{
    // Not even opened unless it is a regular file: opening a device may do something.
    const QByteArray name = QFile::encodeName(path);
    if ((followLinks ? ::stat(name.constData(), &status) : ::lstat(name.constData(), &status)) != 0) {
        openError = errno;
        return;
    }
    if (!S_ISREG(status.st_mode))
        return;
    fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        openError = errno;
    } else if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(std::exchange(fd, -1));
    }
}

RegularFile::~RegularFile()
{
    if (fd >= 0)
        ::close(fd);
}

int RegularFile::release()
{
    return std::exchange(fd, -1);
}

FileStamp stampOf(const struct stat& info)
{
    const auto nanoseconds = [](const timespec& t) { return t.tv_sec * 1'000'000'000LL + t.tv_nsec; };
    return {info.st_dev, info.st_ino, info.st_size, nanoseconds(info.st_mtim), nanoseconds(info.st_ctim)};
}

std::optional<FileStamp> stampOf(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return stampOf(info);
}

QString fileProblem(const QString& reason, const QString& fileName)
{
    return QStringLiteral("%1：%2").arg(reason, fileName);
}

int moveWithoutReplacing(const QString& from, const QString& to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    // Some file systems cannot rename without replacing; a hard link then is as safe.
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (::link(source.constData(), target.constData()) != 0)
        return errno;
    return ::unlink(source.constData()) == 0 ? 0 : errno;
}

QString setAside(const QString& path)
{
    for (int n = 1; n < 1000; ++n) {
        const QString aside =
            n == 1 ? path + QStringLiteral(".damaged") : QStringLiteral("%1.damaged-%2").arg(path).arg(n);
        const int error = moveWithoutReplacing(path, aside);
        if (error == 0)
            return aside;
        if (error != EEXIST)
            break;
    }
    return {};
}

} // namespace vellumi
