#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include <optional>

class QIODevice;

namespace vellumi {

// What the first bytes of a picture file say, read without decoding it: enough to refuse a
// file before it can cost anything, and to tell a picture that reads in a moment from one that
// must be read off the window's thread.
struct PictureHeader {
    // "jpeg", "png", "bmp", "gif" or "webp": the photo formats, told from the content alone.
    QByteArray format;
    // As stored, before any EXIF turn.
    QSize size;
    // The most memory that decoding it to the size shown can take.
    qint64 decodeBytes{};
    // Where a JPEG's image data begins; its end marker must follow.
    qint64 scanStart = -1;

    bool isQuickToRead() const;
};

// Every picture the game shows, fades and cuts has this size in the design: the display's
// interior. A scaled screen or a zoom reads it larger, in the same shape.
inline constexpr QSize pictureSize{480, 360};

// The most memory one picture may take to decode. With the rest of the game that keeps any
// one picture's reading under half a gigabyte.
inline constexpr qint64 maxDecodeBytes = 384LL << 20;

// Reads the header from the device's start, for a picture to be shown at `shown`. Refuses, with the reason and the
// file's name in the player's language, a file of another format (SVG among them: its links could make the reader open
// any file at all), one that says nothing of its size, and one whose decoding would cost more than maxDecodeBytes.
std::optional<PictureHeader> readPictureHeader(QIODevice& file, const QString& fileName, QString* why,
                                               QSize shown = pictureSize);

} // namespace vellumi
