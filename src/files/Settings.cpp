#include "files/Settings.h"

#include "system/SafeFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

#include <cerrno>
#include <optional>

namespace vellumi {

namespace {

const QString general = QStringLiteral("General");

// Every line blank, a comment, a [section] or a key=value, all of it UTF-8; or nothing.
std::optional<QMap<QString, QString>> parse(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (utf8.hasError() || text.contains(QChar(0)))
        return std::nullopt;
    QMap<QString, QString> values;
    QString section;
    for (const QString& line : text.split(u'\n')) {
        const QString trimmed = line.trimmed();
        const qsizetype equals = trimmed.indexOf(u'=');
        if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'#'))
            continue;
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']') && trimmed.size() > 2)
            section = trimmed.mid(1, trimmed.size() - 2);
        else if (equals > 0)
            values.insert((section.isEmpty() || section == general ? QString() : section + u'/') +
                              trimmed.left(equals).trimmed(),
                          trimmed.mid(equals + 1).trimmed());
        else
            return std::nullopt;
    }
    return values;
}

QByteArray format(const QMap<QString, QString>& values)
{
    QMap<QString, QStringList> sections;
    for (auto it = values.begin(); it != values.end(); ++it) {
        const qsizetype slash = it.key().indexOf(u'/');
        sections[slash < 0 ? general : it.key().left(slash)] << it.key().mid(slash + 1) + u'=' + it.value();
    }
    QStringList text;
    for (auto it = sections.begin(); it != sections.end(); ++it)
        text << u'[' + it.key() + u']' + u'\n' + it.value().join(u'\n') + u'\n';
    return text.join(u'\n').toUtf8();
}

} // namespace

Settings::Settings(QString path)
    : path(std::move(path))
{
    read();
}

QString Settings::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/vellumi/vellumi.conf");
}

bool Settings::flag(const QString& key, bool fallback) const
{
    const QString value = values.value(key);
    return value == QLatin1String("true") ? true : value == QLatin1String("false") ? false : fallback;
}

void Settings::setFlag(const QString& key, bool value)
{
    read();
    if (!writable)
        return;
    values.insert(key, value ? QStringLiteral("true") : QStringLiteral("false"));
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(format(values)) >= 0)
        file.commit();
}

void Settings::read()
{
    values.clear();
    RegularFile opened(path);
    if (opened.error()) {
        // None yet is the usual first start; one that cannot be read is left alone.
        writable = opened.error() == ENOENT;
        return;
    }
    QFile file;
    QByteArray bytes;
    const char* wrong = nullptr;
    if (!opened.isOpen() || !file.open(opened.release(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        wrong = "不是普通文件";
    else if ((bytes = file.read(maxSize + 1)).size() > maxSize)
        wrong = "文件太大";
    std::optional<QMap<QString, QString>> settings;
    if (!wrong && !(settings = parse(bytes)))
        wrong = "内容无法识别";
    if (wrong)
        return reject(wrong);
    values = std::move(*settings);
    writable = true;
}

void Settings::reject(const char* why)
{
    const QString aside = setAside(path);
    // What could not be moved is still in the way, and may be a pipe: never written to.
    writable = !aside.isEmpty();
    const QString problem =
        aside.isEmpty()
            ? QStringLiteral("设置文件无法使用（%1）：%2，游戏使用默认设置").arg(QString::fromUtf8(why), path)
            : QStringLiteral("设置文件无法使用（%1），已改名为 %2，游戏使用默认设置")
                  .arg(QString::fromUtf8(why), aside);
    // A file that stays in the way is met again at every write, and told of once.
    if (problem != lastProblem)
        problems << problem;
    lastProblem = problem;
}

} // namespace vellumi
