#include "files/Fingerprint.h"

#include "system/SafeFiles.h"

#include <QCryptographicHash>
#include <QFile>

namespace vellumi {

std::string fingerprintOf(const QString& path, std::stop_token stop)
{
    RegularFile opened(path);
    QFile file;
    if (!opened.isOpen() || !file.open(opened.release(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray chunk;
    while (!stop.stop_requested() && !(chunk = file.read(1 << 20)).isEmpty())
        hash.addData(chunk);
    if (stop.stop_requested() || file.error() != QFileDevice::NoError)
        return {};
    return hash.result().toHex().toStdString();
}

} // namespace vellumi
