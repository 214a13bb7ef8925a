#pragma once

#include <QObject>
#include <QStringList>

#include <thread>

namespace vellumi {

// Copies pictures dropped on the window into the player's own folder, off the window's thread.
// Each file is checked by its header, never decoded, and copied under a name the folder lists,
// never over a file already there. A refusal gives its true reason: not a picture, disk full,
// a folder that cannot be written, a name too long. Unlike reading or hints, no question here
// overtakes another: every file of a drop is copied, and no drop is taken while one is, so it
// is one worker with progress and a cancel rather than a LatestTask.
class PictureImport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Stops after the file in hand, whose partial copy is removed.
    ~PictureImport() override;

    void start(const QStringList& files, const QString& folder);
    void cancel();
    bool isRunning() const { return running; }

signals:
    void progressed(int done, int total);
    // Where the copies went, in the order dropped, and a line for each file refused.
    void finished(const QStringList& copied, const QStringList& refused);

private:
    std::jthread worker;
    bool running = false;
};

} // namespace vellumi
