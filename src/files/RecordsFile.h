#pragma once

#include "files/OwnFile.h"
#include "game/Records.h"

namespace vellumi {

// The player's records, in ~/.local/share/vellumi/records (or under $XDG_DATA_HOME). Every
// copy of the game adds its finished games to what is on disk at that moment, under a lock,
// so a game finished in one copy never erases one finished in another. A file that cannot be
// written never stops a game: its records are simply not kept.
class RecordsFile {
public:
    explicit RecordsFile(const QString& path = defaultPath());
    static QString defaultPath();

    // The records as they are on disk; a damaged file is set aside and counts as none.
    Records read();
    NewBest add(const Records::Key& key, const std::string& name, int moves, std::int64_t milliseconds, bool helped);

    QStringList takeProblems() { return file.takeProblems(); }

private:
    OwnFile file;
    QLockFile lock;
};

} // namespace vellumi
