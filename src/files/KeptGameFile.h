#pragma once

#include "files/OwnFile.h"
#include "game/KeptGame.h"

#include <QLockFile>

#include <memory>
#include <optional>

namespace vellumi {

class FileWriter;

// The unfinished game, kept in the player's state folder (~/.local/state/vellumi, or under
// $XDG_STATE_HOME) and written off the window's thread at every change, so that closing, a
// killed program or a power cut loses at most the last change. Only one copy of the game at a
// time keeps one: the first to take the lock beside it.
class KeptGameFile {
public:
    explicit KeptGameFile(const QString& folder = defaultFolder());
    ~KeptGameFile();
    static QString defaultFolder();

    // The kept game, when this copy keeps it and it reads as one; asked once, before any keep(). One that is damaged,
    // or whose restoring last time never finished, is set aside. Until restored() the game counts as being restored.
    std::optional<KeptGame> take();
    void restored();
    // The game taken cannot be played on: it is forgotten, and the player told why.
    void drop(const QString& why);

    void keep(const KeptGame& game);
    void forget();
    // Returns once the last change is on disk.
    void flush();

    QStringList takeProblems();

private:
    OwnFile file;
    QString restoringMark;
    QLockFile lock;
    std::unique_ptr<FileWriter> writer; // only while this copy keeps the game
    QStringList problems;
};

} // namespace vellumi
