#include "ui/PictureFile.h"

#include <QFileInfo>
#include <QImageReader>

namespace vellumi {

QImage loadPicture(const QString& fileName, QString* why)
{
    if (!QFileInfo::exists(fileName)) {
        *why = QStringLiteral("找不到图片文件：%1").arg(fileName);
        return {};
    }
    QImageReader reader(fileName);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull()) {
        *why = QStringLiteral("无法读取图片文件：%1（%2）").arg(fileName, reader.errorString());
        return {};
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace vellumi
