#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace vellumi {

// A file the game writes for itself and reads back: the settings, the records, the unfinished
// game. What is found there may be anything: a pipe, a folder, a link, gigabytes, bytes not
// ours. Such a file is set aside, never deleted, the player is told once in words, and the
// game carries on without it.
class OwnFile {
public:
    struct Kind {
        QString name;      // as the player is told of it: "设置文件"
        QString otherwise; // what the game does instead: "游戏使用默认设置"
        qint64 maxSize;
        bool followLinks;
    };

    OwnFile(QString path, Kind kind);

    // What the file holds; nothing when there is none, or when it is no regular file within
    // the size, and then it has been set aside.
    std::optional<QByteArray> read();
    // What was read is not ours after all: set aside too.
    void reject(const QString& why);
    // Whole and atomically, or not at all; never over a file that is not ours.
    bool write(const QByteArray& bytes);

    bool isWritable() const { return writable; }
    const QString& path() const { return filePath; }
    // What was set aside and why, each said once.
    QStringList takeProblems() { return std::exchange(problems, {}); }

private:
    QString filePath;
    Kind kind;
    // Whether what is there can be written over: nothing, or a file read as ours.
    bool writable = false;
    QStringList problems;
    QString lastProblem;
};

// A lock beside an own file, made ready: one that never goes stale while its holder lives, with
// anything but a regular file in its place set aside, as reading it could block.
void clearLockPath(QLockFile& lock);

} // namespace vellumi
