#include "files/RecordsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vellumi {

namespace {

// A line for each picture and size played; a million of them is far beyond any player.
constexpr qint64 maxSize = 64 << 20;

} // namespace

RecordsFile::RecordsFile(const QString& path)
    : file(path, {QStringLiteral("成绩记录文件"), QStringLiteral("成绩从头记起"), maxSize, false})
    , lock(path + QStringLiteral(".lock"))
{
}

QString RecordsFile::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/vellumi/records");
}

Records RecordsFile::read()
{
    const std::optional<QByteArray> bytes = file.read();
    if (!bytes)
        return {};
    std::optional<Records> records = Records::parse(std::string_view(bytes->constData(), std::size_t(bytes->size())));
    if (!records)
        file.reject(QStringLiteral("内容无法识别"));
    return records ? *records : Records();
}

NewBest RecordsFile::add(const Records::Key& key, const std::string& name, int moves, std::int64_t milliseconds,
                         bool helped)
{
    QDir().mkpath(QFileInfo(file.path()).path());
    clearLockPath(lock);
    // Another copy holds it only for a write; one that cannot be had leaves this game unrecorded.
    const bool locked = lock.tryLock(2000);
    Records records = read();
    const NewBest best = records.add(key, name, moves, milliseconds, helped);
    if (locked) {
        file.write(QByteArray::fromStdString(records.format()));
        lock.unlock();
    }
    return best;
}

} // namespace vellumi
