#include "files/PictureCatalog.h"

#include "game/DataFiles.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>
#include <QStandardPaths>

#include <algorithm>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace vellumi {

namespace {

// Every name in the folder but hidden ones and folders. Pipes, links that lead nowhere and
// names not valid in the player's encoding are listed too, unlike in QDir's listing: the player
// is told why they cannot be shown rather than left to wonder where they went.
QStringList listedNames(const QString& folder)
{
    QStringList names;
    const QByteArray path = QFile::encodeName(folder);
    DIR* dir = ::opendir(path.constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.' || entry->d_type == DT_DIR)
            continue;
        struct stat info {};
        if (entry->d_type != DT_REG && ::fstatat(::dirfd(dir), entry->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode))
            continue;
        names << QFile::decodeName(entry->d_name);
    }
    ::closedir(dir);
    return names;
}

} // namespace

PictureCatalog::PictureCatalog(QString programFolder, QString ownFolder)
    : programFolder(std::move(programFolder))
    , ownPictures(std::move(ownFolder))
{
}

QString PictureCatalog::usualOwnFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/pictures");
}

bool PictureCatalog::looksLikeImage(const QString& fileName)
{
    static const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    return formats.contains(QFileInfo(fileName).suffix().toLower().toLatin1());
}

void PictureCatalog::sortNaturally(QStringList& names)
{
    // Under the C locale Qt's collator compares code points, numbers and all (10 before 9): a
    // player who chose no language gets the order of the game's own.
    const QLocale locale;
    QCollator collator(locale.language() == QLocale::C ? QLocale(QLocale::Chinese, QLocale::China) : locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::pair<QCollatorSortKey, QString>> keyed;
    keyed.reserve(std::size_t(names.size()));
    for (QString& name : names)
        keyed.emplace_back(collator.sortKey(name), std::move(name));
    // Names the collator holds equal (a.jpg, A.jpg; 9.jpg, 09.jpg) still need one order, or the
    // folder's own order would show through.
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        const int order = a.first.compare(b.first);
        return order != 0 ? order < 0 : a.second < b.second;
    });
    for (qsizetype i = 0; i < names.size(); ++i)
        names[i] = std::move(keyed[std::size_t(i)].second);
}

void PictureCatalog::refresh()
{
    // A change made after this moment gives the folder times later than restTime before it, so
    // a listing whose folder times were older stays right for as long as they stay the same.
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    const std::optional<FileStamp> stamp = stampOf(ownPictures);
    if (listingTrusted && stamp == listed)
        return;
    const QDir folder(ownPictures);
    QStringList names = listedNames(ownPictures);
    names.removeIf([](const QString& name) { return !looksLikeImage(name); });
    sortNaturally(names);
    own.clear();
    for (const QString& name : std::as_const(names))
        own << folder.filePath(name);
    listed = stamp;
    const std::int64_t rest = std::chrono::duration_cast<std::chrono::nanoseconds>(restTime).count();
    listingTrusted = !stamp || std::max(stamp->modified, stamp->changed) < now - rest;
}

QString PictureCatalog::path(int position) const
{
    if (position < 0 || position >= size())
        return {};
    if (position < numbered)
        return QString::fromStdString(pictureFile(programFolder.toStdString(), position + 1));
    return own[position - numbered];
}

int PictureCatalog::positionOf(const QString& path) const
{
    const qsizetype at = own.indexOf(path);
    return at < 0 || numbered + at >= maxSize ? -1 : numbered + int(at);
}

} // namespace vellumi
