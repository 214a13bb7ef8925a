#pragma once

#include "files/OwnFile.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <utility>

namespace vellumi {

// The player's settings: lines of key=value under [section] headings, in
// ~/.config/vellumi/vellumi.conf (or under $XDG_CONFIG_HOME). The file is read only when it is
// a regular file of a sane size whose every line is a setting, so a pipe cannot block the game
// and a file of megabytes cannot slow it. Anything else is set aside, never deleted, and the
// defaults hold.
class Settings {
public:
    // A few hundred bytes hold every setting.
    static constexpr qint64 maxSize = 16 * 1024;

    explicit Settings(const QString& path = defaultPath());
    static QString defaultPath();

    bool flag(const QString& key, bool fallback) const;
    // The file is read again and written whole, atomically, so that what another copy of the
    // game changed meanwhile is kept. A setting that cannot be written is simply not kept.
    void setFlag(const QString& key, bool value);
    // A whole number written in decimal; anything else is the fallback.
    int number(const QString& key, int fallback) const;
    void setNumber(const QString& key, int value);

    // What was set aside and why, in the player's language, each said once.
    QStringList takeProblems() { return file.takeProblems(); }

private:
    void read();
    void set(const QString& key, const QString& value);

    OwnFile file;
    QMap<QString, QString> values; // by "section/key"; the keys of [General] stand alone
};

} // namespace vellumi
