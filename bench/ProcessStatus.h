#pragma once

#include <QFile>

#include <cstring>

// A figure of this process's from /proc/self/status, in kilobytes: "VmRSS:" what it holds now,
// "VmHWM:" the most it has held. -1 if it cannot be read.
inline long statusKilobytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(std::strlen(field))).trimmed().split(' ').value(0).toLong();
    return -1;
}
