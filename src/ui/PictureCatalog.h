#pragma once

#include <QString>
#include <QStringList>

namespace vellumi {

// The pictures a player steps through: first the numbered ones beside the program, 1 to the
// count of its picture.txt, then every image in the player's own folder, in the order of the
// player's language with numbers taken as numbers (2.jpg before 10.jpg). Pictures added to or
// removed from the own folder while the game runs take their place at the next refresh().
// Positions count from 0.
class PictureCatalog {
public:
    PictureCatalog(QString programFolder, QString ownFolder);

    void setNumberedCount(int count) { numbered = count; }
    void refresh();

    int size() const { return numbered + int(own.size()); }
    QString path(int position) const;
    // The position of a picture of the own folder, or -1 when it is no longer there.
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
};

} // namespace vellumi
