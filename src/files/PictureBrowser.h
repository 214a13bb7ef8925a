#pragma once

#include "files/PictureCatalog.h"
#include "files/PictureHeader.h"
#include "files/PictureLoader.h"

#include <QImage>
#include <QObject>
#include <QSet>
#include <QStringList>

namespace vellumi {

// The pictures a player steps through between games, one of them on show. A step passes over
// pictures that cannot be read, telling why once for each file. A picture too large to read at
// once is read off the window's thread and shown when it arrives, the one on show staying
// meanwhile; a step taken before then passes over it.
class PictureBrowser : public QObject {
    Q_OBJECT
public:
    PictureBrowser(QString programFolder, QString ownFolder, QObject* parent = nullptr);

    // Reads the picture count beside the program and shows the first picture that can be
    // shown, however large. Gives why the program cannot go on, in the player's language, when
    // the count file is missing or bad or no picture can be shown; empty when all is well.
    QString open();
    void step(bool forward);
    // A picture just copied into the own folder, in place of the one on show.
    void showOwn(const QString& path);
    // A picture by its path, read now however large, as at start-up. False, with the picture on
    // show unchanged, when it is not among the pictures or cannot be read.
    bool showNow(const QString& path);
    // What is being read is no longer wanted: the picture on show stays.
    void stopReading();
    // The size pictures are read at from now on: pictureSize times the screen's scale. The
    // picture on show is scaled to it at once and read again at it, unless its file has
    // changed since, so that a game goes on with the picture it began with.
    void setPictureSize(QSize size);

    const QImage& picture() const { return current; }
    const QString& path() const { return currentPath; }
    // Counted from 1, the numbered pictures first, then the own ones.
    int number() const { return shownNumber; }
    // How many numbered pictures lie beside the program.
    int numberedCount() const { return numbered; }
    const QString& ownFolder() const { return catalog.ownFolder(); }

signals:
    void shown();
    // The picture on show, the same picture, came at a new size.
    void rescaled();
    void problems(const QStringList& problems);

private:
    enum class Shown { Now, Later, Never };
    Shown show(int position, QStringList& problems);
    void apply(int position, QImage picture);
    void note(const QString& path, const QString& why, QStringList& problems);
    void onRead(const QString& fileName, const QImage& picture, const QString& why);
    // Size and time of change of the file on show, as it was read.
    QString stampOf(const QString& path) const;
    // Every picture is tried at most once in a step, so a cycle of pictures that cannot be read
    // ends; a picture read off the window's thread carries on the same step when it fails.
    void stepFrom(int number, bool forward, int tries);
    // The number of the picture on show, or of the place it had if it has gone meanwhile.
    int currentNumber(bool forward) const;

    QString programFolder;
    PictureCatalog catalog;
    PictureLoader loader;
    int numbered = 0;
    QSize size = pictureSize;
    QImage current;
    QString currentPath;
    QString currentStamp;
    bool rereading = false;
    int shownNumber = 0;
    // The picture being read off the window's thread, if any, and the step that asked for it.
    int readingPosition = -1;
    bool readingForward{};
    int readingTries{};
    // Files and folders whose problem the player has been told of.
    QSet<QString> reported;
};

} // namespace vellumi
