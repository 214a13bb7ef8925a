#include "files/OwnFile.h"

#include "system/FileWriter.h"
#include "system/SafeFiles.h"

#include <QFile>

#include <cerrno>

namespace vellumi {

OwnFile::OwnFile(QString path, Kind kind)
    : filePath(std::move(path))
    , kind(std::move(kind))
{
}

std::optional<QByteArray> OwnFile::read()
{
    RegularFile opened(filePath, kind.followLinks);
    if (opened.error()) {
        // None yet is the usual first start; one that cannot be read is left alone.
        writable = opened.error() == ENOENT;
        return std::nullopt;
    }
    QFile file;
    if (!opened.isOpen() || !file.open(opened.release(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        reject(QStringLiteral("不是普通文件"));
        return std::nullopt;
    }
    QByteArray bytes = file.read(kind.maxSize + 1);
    if (bytes.size() > kind.maxSize) {
        reject(QStringLiteral("文件太大"));
        return std::nullopt;
    }
    writable = true;
    return bytes;
}

void OwnFile::reject(const QString& why)
{
    const QString aside = setAside(filePath);
    // What could not be moved is still in the way, and may be a pipe: never written to.
    writable = !aside.isEmpty();
    const QString problem =
        aside.isEmpty()
            ? QStringLiteral("%1无法使用（%2）：%3，%4").arg(kind.name, why, filePath, kind.otherwise)
            : QStringLiteral("%1无法使用（%2），已改名为 %3，%4").arg(kind.name, why, aside, kind.otherwise);
    // A file that stays in the way is met again at every write, and told of once.
    if (problem != lastProblem)
        problems << problem;
    lastProblem = problem;
}

bool OwnFile::write(const QByteArray& bytes)
{
    return writable && writeWhole(filePath, bytes);
}

void clearLockPath(QLockFile& lock)
{
    lock.setStaleLockTime(0);
    struct stat info {};
    if (::lstat(QFile::encodeName(lock.fileName()).constData(), &info) == 0 && !S_ISREG(info.st_mode))
        setAside(lock.fileName());
}

} // namespace vellumi
