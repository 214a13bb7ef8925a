#pragma once

#include "files/PictureHeader.h"

#include <QFile>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>
#include <stop_token>

namespace vellumi {

// Reads a photo of any size as a picture of `size` (pictureSize, or that times a screen's
// scale): turned upright by its EXIF orientation, scaled smoothly to cover the size and cropped
// about its centre. A picture of exactly that size comes back pixel for pixel. A large JPEG is decoded straight to
// about the size it will be shown at, so a photo of many megapixels costs little time or memory. Only a regular file is
// ever opened, so a pipe or a device under a picture's name cannot block the game, and only the photo formats are read,
// so that a picture cannot make the game open any other file. On failure returns a null image and puts the reason and
// the file's name, in the player's language, in `why`. Once `stop` is requested reading ends early, with no image.
QImage loadPicture(const QString& fileName, QString* why, QSize size = pictureSize, std::stop_token stop = {});

// Reads only as much of a picture file as its header, with the same checks as loadPicture.
std::optional<PictureHeader> checkPicture(const QString& fileName, QString* why, QSize size = pictureSize);

// Opens a file for reading only if it is a regular file, so that opening it cannot block; if
// not, puts why not in `why`, in the player's language and naming the file.
bool openRegularFile(QFile& file, const QString& fileName, QString* why);

} // namespace vellumi
