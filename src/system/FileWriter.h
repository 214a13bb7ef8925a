#pragma once

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

namespace vellumi {

// Keeps one file up to date off the window's thread: each version is made and written whole and
// atomically there, and one asked for while another is written replaces any not yet begun, so
// however often it changes the disk sees at most two writes in a row. Removing the file is one
// more version, so that a write still under way can never bring it back.
class FileWriter {
public:
    explicit FileWriter(QString path);
    // Waits for the last version asked for.
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // `make` gives the bytes, on the writer's thread.
    void write(std::function<QByteArray()> make);
    void remove();
    // Returns once the last version asked for is on disk.
    void flush();

private:
    void writeInTurn(std::stop_token stop);

    const QString path;
    std::mutex mutex;
    std::condition_variable_any wake;
    std::condition_variable idle;
    std::optional<std::function<QByteArray()>> pending; // the next version; an empty one removes
    bool busy = false;
    std::jthread thread; // last, so it has stopped before anything it uses goes
};

// Writes a file whole and atomically, making its folder first.
bool writeWhole(const QString& path, const QByteArray& bytes);

} // namespace vellumi
