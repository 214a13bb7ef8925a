#include "files/Settings.h"

#include <QStandardPaths>
#include <QStringDecoder>

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
        // A key of [General] may hold a slash, even lead with one, if the player wrote it so.
        const qsizetype slash = it.key().indexOf(u'/');
        const bool inGeneral = slash <= 0;
        sections[inGeneral ? general : it.key().left(slash)]
            << (inGeneral ? it.key() : it.key().mid(slash + 1)) + u'=' + it.value();
    }
    QStringList text;
    for (auto it = sections.begin(); it != sections.end(); ++it)
        text << u'[' + it.key() + u']' + u'\n' + it.value().join(u'\n') + u'\n';
    return text.join(u'\n').toUtf8();
}

} // namespace

Settings::Settings(const QString& path)
    : file(path, {QStringLiteral("设置文件"), QStringLiteral("游戏使用默认设置"), maxSize, true})
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
    set(key, value ? QStringLiteral("true") : QStringLiteral("false"));
}

int Settings::number(const QString& key, int fallback) const
{
    bool ok = false;
    const int value = values.value(key).toInt(&ok);
    return ok ? value : fallback;
}

void Settings::setNumber(const QString& key, int value)
{
    set(key, QString::number(value));
}

void Settings::set(const QString& key, const QString& value)
{
    read();
    values.insert(key, value);
    file.write(format(values));
}

void Settings::read()
{
    values.clear();
    const std::optional<QByteArray> bytes = file.read();
    if (!bytes)
        return;
    if (std::optional<QMap<QString, QString>> settings = parse(*bytes))
        values = std::move(*settings);
    else
        file.reject(QStringLiteral("内容无法识别"));
}

} // namespace vellumi
