#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace vellumi {

// Every picture the game shows, fades and cuts has this size: the display's interior.
inline constexpr QSize pictureSize{480, 360};

// Reads a picture file of any size and format as a pictureSize picture: turned upright by its
// EXIF orientation, scaled smoothly to cover the size and cropped about its centre. A picture
// of exactly that size comes back pixel for pixel. A large JPEG is decoded straight to about
// the size it will be shown at, so a photo of many megapixels costs little time or memory.
// Only a regular file is ever opened, so a pipe or a device under a picture's name cannot
// block the game. On failure returns a null image and puts the reason and the file's name,
// in the player's language, in `why`.
QImage loadPicture(const QString& fileName, QString* why);

// Whether a file is a regular file, so that opening it cannot block; if not, why not, in the
// player's language and naming the file.
bool isRegularFile(const QString& fileName, QString* why);

} // namespace vellumi
