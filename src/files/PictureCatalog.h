#pragma once

#include "system/SafeFiles.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>

#include <sys/types.h>

namespace vellumi {

// The pictures a player steps through: first the numbered ones beside the program, 1 to the
// count of its picture.txt, then every image in the player's own folder, in the order of the
// player's language with numbers taken as numbers (2.jpg before 10.jpg). Pictures added to or
// removed from the own folder while the game runs take their place at the next refresh().
// Positions count from 0, and there are never more of them than a picture number can hold.
class PictureCatalog {
public:
    // The game keeps a picture's number in 16 bits.
    static constexpr int maxSize = 32767;
    // The own folder's listing is read again only when the folder's times change, and trusted
    // only once the folder has been left alone this long: file times move with a clock that
    // ticks every few milliseconds, or every 2 s on FAT, so a file added in the tick of the last
    // change leaves them as they were.
    static constexpr std::chrono::seconds restTime{3};

    PictureCatalog(QString programFolder, QString ownFolder);
    // Where a player's own pictures live: vellumi/pictures in the data folder
    // (~/.local/share unless XDG_DATA_HOME says otherwise).
    static QString usualOwnFolder();

    void setNumberedCount(int count) { numbered = count; }
    void refresh();

    int size() const { return int(std::min<qsizetype>(numbered + own.size(), maxSize)); }
    // Whether pictures of the own folder are left out, past the last position.
    bool capped() const { return numbered + own.size() > maxSize; }
    // Empty for a position outside 0 … size() - 1.
    QString path(int position) const;
    // The position of a picture of the own folder, or -1 when it is no longer there or lies
    // past the last position.
    int positionOf(const QString& path) const;
    const QString& ownFolder() const { return ownPictures; }

    // Whether Qt's image plugins read files named like this one.
    static bool looksLikeImage(const QString& fileName);
    // Puts names in the order the own folder's pictures are shown in.
    static void sortNaturally(QStringList& names);

private:
    QString programFolder;
    QString ownPictures;
    int numbered = 0;
    QStringList own;
    // The own folder as it was just before `own` was read; none when it was not there.
    std::optional<FileStamp> listed;
    bool listingTrusted{};
};

} // namespace vellumi
