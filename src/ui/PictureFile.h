#pragma once

#include <QImage>
#include <QString>

namespace vellumi {

// Reads a picture from disk, deciding its format by content rather than by name, so a PNG
// named .jpg still loads. Qt's allocation limit stays in force: a file that claims an
// enormous size is refused instead of exhausting memory. On failure returns a null image and
// says why in `why`.
QImage loadPicture(const QString& fileName, QString* why);

} // namespace vellumi
