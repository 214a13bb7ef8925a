#pragma once

#include "files/KeptGameFile.h"
#include "files/RecordsFile.h"
#include "game/GameSession.h"
#include "system/LatestTask.h"

#include <QObject>
#include <QTimer>

#include <optional>
#include <string>

namespace vellumi {

// What outlasts a game: the unfinished game, kept at every change so that it can be played on
// at the next start, and the records of finished games, by the picture's content and the
// difficulty. The picture's fingerprint is taken off the window's thread as the game starts.
// While the clock runs the game is kept each second as well, so that a killed program loses at
// most a second of its time.
class GameKeeper : public QObject {
    Q_OBJECT
public:
    GameKeeper(const GameSession& session, const QString& stateFolder, const QString& recordsPath,
               QObject* parent = nullptr);

    // At start-up: the unfinished game to play on, if one was kept, its picture is still there
    // as it was, and its way can be played. One that cannot is forgotten or set aside, and the
    // player told why. It counts as being restored until restored().
    std::optional<KeptGame> takeKept();
    void restored() { kept.restored(); }
    // The kept game cannot be played on after all: forgotten, and the player told why.
    void drop(const QString& why)
    {
        kept.drop(why);
        tell();
    }

    // A game begins with the picture in this file; or goes on, after a restart of the program.
    void started(const QString& picture, const std::string& fingerprint = {});
    // The game has changed, by a move, an undo or a restart, or its clock was paused.
    void changed();
    // The picture is whole: the game counts in the records, and is kept no more.
    NewBest finished();
    // Left unfinished by the player's choice: kept no more.
    void left();
    // The program ends: the game in hand is on disk before it does.
    void close();

    // The records, and the key of a picture file at a difficulty, taken now.
    Records records();
    Records::Key keyOf(const QString& picture, int gridSize) const;

signals:
    void problems(const QStringList& problems);

private:
    void tell();
    void takeFingerprintNow();

    const GameSession& session;
    KeptGameFile kept;
    RecordsFile recordsFile;
    LatestTask fingerprinting;
    QTimer* ticker;
    QString picture;
    std::string fingerprint; // of the game's picture, once known
};

} // namespace vellumi
