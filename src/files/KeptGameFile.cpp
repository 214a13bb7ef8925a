#include "files/KeptGameFile.h"

#include "system/FileWriter.h"

#include <QDir>
#include <QFile>

namespace vellumi {

namespace {

// A game of a million moves is some 4 MB; anything larger was not written by us.
constexpr qint64 maxSize = 8 << 20;

} // namespace

KeptGameFile::KeptGameFile(const QString& folder)
    : file(folder + QStringLiteral("/unfinished-game"),
           {QStringLiteral("保存的未完成游戏"), QStringLiteral("游戏照常开始"), maxSize, false})
    , restoringMark(folder + QStringLiteral("/unfinished-game.restoring"))
    , lock(folder + QStringLiteral("/unfinished-game.lock"))
{
    QDir().mkpath(folder);
    clearLockPath(lock);
    if (lock.tryLock(0))
        writer = std::make_unique<FileWriter>(file.path());
}

KeptGameFile::~KeptGameFile() = default;

QString KeptGameFile::defaultFolder()
{
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    return (QDir::isAbsolutePath(state) ? state : QDir::homePath() + QStringLiteral("/.local/state")) +
           QStringLiteral("/vellumi");
}

std::optional<KeptGame> KeptGameFile::take()
{
    if (!writer)
        return std::nullopt;
    const std::optional<QByteArray> bytes = file.read();
    if (!bytes)
        return std::nullopt;
    if (QFile::exists(restoringMark)) {
        QFile::remove(restoringMark);
        file.reject(QStringLiteral("上次恢复它时游戏意外结束"));
        return std::nullopt;
    }
    std::optional<KeptGame> game = parseKeptGame(std::string_view(bytes->constData(), std::size_t(bytes->size())));
    if (!game) {
        file.reject(QStringLiteral("内容无法识别"));
        return std::nullopt;
    }
    writeWhole(restoringMark, {});
    return game;
}

void KeptGameFile::restored()
{
    QFile::remove(restoringMark);
}

void KeptGameFile::drop(const QString& why)
{
    problems << why;
    restored();
    forget();
}

void KeptGameFile::keep(const KeptGame& game)
{
    if (writer && file.isWritable())
        writer->write([game] { return QByteArray::fromStdString(formatKeptGame(game)); });
}

void KeptGameFile::forget()
{
    if (writer && file.isWritable())
        writer->remove();
}

void KeptGameFile::flush()
{
    if (writer)
        writer->flush();
}

QStringList KeptGameFile::takeProblems()
{
    return std::exchange(problems, {}) + file.takeProblems();
}

} // namespace vellumi
