#include "system/FileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vellumi {

FileWriter::FileWriter(QString path)
    : path(std::move(path))
    , thread([this](std::stop_token stop) { writeInTurn(stop); })
{
}

FileWriter::~FileWriter()
{
    flush();
}

void FileWriter::write(std::function<QByteArray()> make)
{
    {
        const std::lock_guard lock(mutex);
        pending.emplace(std::move(make));
    }
    wake.notify_one();
}

void FileWriter::remove()
{
    {
        const std::lock_guard lock(mutex);
        pending.emplace();
    }
    wake.notify_one();
}

void FileWriter::flush()
{
    std::unique_lock lock(mutex);
    idle.wait(lock, [this] { return !pending && !busy; });
}

void FileWriter::writeInTurn(std::stop_token stop)
{
    for (;;) {
        std::unique_lock lock(mutex);
        if (!wake.wait(lock, stop, [this] { return pending.has_value(); }))
            return;
        const std::function<QByteArray()> version = *std::exchange(pending, std::nullopt);
        busy = true;
        lock.unlock();
        if (version)
            writeWhole(path, version());
        else
            QFile::remove(path);
        lock.lock();
        busy = false;
        idle.notify_all();
    }
}

bool writeWhole(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace vellumi
