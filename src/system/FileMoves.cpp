#include "system/FileMoves.h"

#include <QFile>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace vellumi {

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
        const QString aside = n == 1 ? path + QStringLiteral(".damaged") : QStringLiteral("%1.damaged-%2").arg(path).arg(n);
        const int error = moveWithoutReplacing(path, aside);
        if (error == 0)
            return aside;
        if (error != EEXIST)
            break;
    }
    return {};
}

} // namespace vellumi
