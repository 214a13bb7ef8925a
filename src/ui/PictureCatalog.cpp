#include "ui/PictureCatalog.h"

#include "game/DataFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

namespace vellumi {

PictureCatalog::PictureCatalog(QString programFolder, QString ownFolder)
    : programFolder(std::move(programFolder))
    , ownPictures(std::move(ownFolder))
{
}

namespace {

// The run of digits at `at`, without its leading zeros; `at` moves past the run.
QStringView digitRun(QStringView text, qsizetype& at)
{
    const qsizetype start = at;
    while (at < text.size() && text[at].isDigit())
        ++at;
    qsizetype first = start;
    while (first + 1 < at && text[first] == u'0')
        ++first;
    return text.sliced(first, at - first);
}

} // namespace

// Runs of digits compare as numbers, so 9.jpg comes before 10.jpg; the rest compares without
// regard to case. (QCollator's numeric mode needs ICU, which not every Qt is built with.)
bool PictureCatalog::naturallyBefore(const QString& a, const QString& b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            const QStringView x = digitRun(a, i), y = digitRun(b, j);
            if (x.size() != y.size())
                return x.size() < y.size();
            if (x != y)
                return x < y;
            continue;
        }
        if (const int order = QStringView(a).sliced(i, 1).compare(QStringView(b).sliced(j, 1), Qt::CaseInsensitive))
            return order < 0;
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

bool PictureCatalog::looksLikeImage(const QString& fileName)
{
    static const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    return formats.contains(QFileInfo(fileName).suffix().toLower().toLatin1());
}

void PictureCatalog::refresh()
{
    own.clear();
    const QDir folder(ownPictures);
    for (const QString& name : folder.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort))
        if (looksLikeImage(name))
            own << folder.filePath(name);
    std::sort(own.begin(), own.end(), naturallyBefore);
}

QString PictureCatalog::path(int position) const
{
    if (position < numbered)
        return QString::fromStdString(pictureFile(programFolder.toStdString(), position + 1));
    return own.value(position - numbered);
}

int PictureCatalog::positionOf(const QString& path) const
{
    const qsizetype at = own.indexOf(path);
    return at < 0 ? -1 : numbered + int(at);
}

} // namespace vellumi
