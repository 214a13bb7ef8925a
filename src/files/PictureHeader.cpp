#include "files/PictureHeader.h"

#include "system/SafeFiles.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace vellumi {

namespace {

// Up to 640 × 480 a picture of any format decodes in a few tens of milliseconds; beyond, the
// window would be seen to stall for it (a PNG of two megapixels takes over 100 ms).
constexpr qint64 quickPixels = 640 * 480;

QByteArray photoFormat(const QByteArray& head)
{
    if (head.startsWith("\xFF\xD8\xFF"))
        return "jpeg";
    if (head.startsWith("\x89PNG\r\n\x1A\n"))
        return "png";
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return "gif";
    if (head.startsWith("BM"))
        return "bmp";
    if (head.startsWith("RIFF") && head.mid(8, 4) == "WEBP")
        return "webp";
    return {};
}

// What a JPEG's frame and first scan say.
struct JpegFrame {
    QSize size;
    // Samples of all components per pixel: 3 for full colour, 1.5 for the usual 4:2:0.
    double samplesPerPixel{};
    int components{};
    bool progressive{};
    // Decoding keeps every coefficient of the whole picture when the image comes in several
    // scans, progressive or one component at a time: two bytes a sample, whatever the scale.
    bool multiScan{};
    qint64 scanStart{};
};

int bigEndian16(const QByteArray& bytes, int at)
{
    return (uchar(bytes[at]) << 8) | uchar(bytes[at + 1]);
}

quint32 littleEndian(const QByteArray& bytes, int at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | uchar(bytes[at + i]);
    return value;
}

// The size the other formats give in their first bytes. Read here rather than by Qt's readers,
// some of which go through the whole file to say it.
QSize storedSize(const QByteArray& format, const QByteArray& head)
{
    const auto at = [&head](int offset, int size) { return head.size() >= offset + size; };
    if (format == "png" && at(16, 8))
        return QSize(int(qFromBigEndian<quint32>(head.constData() + 16)),
                     int(qFromBigEndian<quint32>(head.constData() + 20)));
    if (format == "gif" && at(6, 4))
        return QSize(int(littleEndian(head, 6, 2)), int(littleEndian(head, 8, 2)));
    if (format == "bmp" && at(14, 12)) {
        if (littleEndian(head, 14, 4) == 12) // the oldest header, with 16-bit sizes
            return QSize(int(littleEndian(head, 18, 2)), int(littleEndian(head, 20, 2)));
        // Rows stored top down give a negative height.
        const auto length = [&head](int offset) {
            return int(std::min<qint64>(std::abs(qint64(qint32(littleEndian(head, offset, 4)))), INT_MAX));
        };
        return QSize(length(18), length(22));
    }
    if (format == "webp" && at(12, 18)) {
        const QByteArray chunk = head.mid(12, 4);
        if (chunk == "VP8X")
            return QSize(int(littleEndian(head, 24, 3)) + 1, int(littleEndian(head, 27, 3)) + 1);
        if (chunk == "VP8 ")
            return QSize(int(littleEndian(head, 26, 2) & 0x3FFF), int(littleEndian(head, 28, 2) & 0x3FFF));
        if (chunk == "VP8L") {
            const quint32 bits = littleEndian(head, 21, 4);
            return QSize(int(bits & 0x3FFF) + 1, int((bits >> 14) & 0x3FFF) + 1);
        }
    }
    return {};
}

bool isStartOfFrame(uchar marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Walks the segments up to the first scan. Each segment names its own length, so only the
// frame and scan headers are read; the rest is skipped.
std::optional<JpegFrame> readJpegFrame(QIODevice& in)
{
    std::optional<JpegFrame> frame;
    if (!in.seek(2))
        return {};
    for (int segments = 0; segments < 10'000; ++segments) {
        char c{};
        if (!in.getChar(&c) || uchar(c) != 0xFF)
            return {};
        while (uchar(c) == 0xFF)
            if (!in.getChar(&c))
                return {};
        const uchar marker = uchar(c);
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue; // markers without a segment
        const QByteArray length = in.read(2);
        if (length.size() != 2 || bigEndian16(length, 0) < 2)
            return {};
        const int bodySize = bigEndian16(length, 0) - 2;
        if (!isStartOfFrame(marker) && marker != 0xDA) {
            if (!in.seek(in.pos() + bodySize))
                return {};
            continue;
        }
        const QByteArray body = in.read(bodySize);
        if (body.size() != bodySize)
            return {};
        if (marker == 0xDA) {
            if (!frame || body.isEmpty())
                return {};
            frame->multiScan = frame->progressive || uchar(body[0]) < frame->components;
            frame->scanStart = in.pos();
            return frame;
        }
        if (frame || body.size() < 6 || body.size() < 6 + 3 * uchar(body[5]))
            return {};
        frame.emplace();
        frame->size = QSize(bigEndian16(body, 3), bigEndian16(body, 1));
        frame->components = uchar(body[5]);
        frame->progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
        int maxH = 1, maxV = 1, blocks = 0;
        for (int i = 0; i < frame->components; ++i) {
            const int h = uchar(body[7 + 3 * i]) >> 4, v = uchar(body[7 + 3 * i]) & 0x0F;
            maxH = std::max(maxH, h);
            maxV = std::max(maxV, v);
            blocks += h * v;
        }
        frame->samplesPerPixel = double(blocks) / (maxH * maxV);
    }
    return {};
}

// The reader decodes a JPEG at 1/2, 1/4 or 1/8 of its size when that still covers the
// picture shown; only that much of it is ever held as pixels.
qint64 jpegDecodeBytes(const JpegFrame& frame, QSize shown)
{
    const double pixels = double(frame.size.width()) * frame.size.height();
    int denominator = 1;
    while (denominator < 8 && frame.size.width() / (denominator * 2) >= shown.width() &&
           frame.size.height() / (denominator * 2) >= shown.height())
        denominator *= 2;
    const double output = pixels / (denominator * denominator) * 4;
    const double coefficients = frame.multiScan ? pixels * frame.samplesPerPixel * 2 : 0;
    return qint64(std::min(output + coefficients, 1e18));
}

// The other formats are decoded whole before they are scaled.
qint64 wholeDecodeBytes(const QByteArray& format, const QByteArray& head, QSize size)
{
    const bool deepPng = format == "png" && head.size() > 24 && uchar(head[24]) == 16;
    // A GIF is drawn onto a second picture of the same size.
    const int bytesPerPixel = deepPng || format == "gif" ? 8 : 4;
    return qint64(std::min(double(size.width()) * size.height() * bytesPerPixel, 1e18));
}

} // namespace

bool PictureHeader::isQuickToRead() const
{
    return qint64(size.width()) * size.height() <= quickPixels;
}

std::optional<PictureHeader> readPictureHeader(QIODevice& file, const QString& fileName, QString* why, QSize shown)
{
    if (!file.seek(0))
        return {};
    const QByteArray head = file.read(256);
    PictureHeader header;
    header.format = photoFormat(head);
    // No format, or one this machine has no plugin for; an empty one is never supported.
    if (!QImageReader::supportedImageFormats().contains(header.format)) {
        // Named from the bytes already read: no plugin is ever handed the file itself.
        QBuffer peek;
        peek.setData(head);
        peek.open(QIODevice::ReadOnly);
        const QByteArray other = header.format.isEmpty() ? QImageReader::imageFormat(&peek) : header.format;
        *why = other.isEmpty()
                   ? fileProblem(QStringLiteral("不是图片文件"), fileName)
                   : fileProblem(QStringLiteral("不支持的图片格式（%1）").arg(QString::fromLatin1(other)), fileName);
        return {};
    }
    if (header.format == "jpeg") {
        const std::optional<JpegFrame> frame = readJpegFrame(file);
        if (frame) {
            header.size = frame->size;
            header.scanStart = frame->scanStart;
            header.decodeBytes = jpegDecodeBytes(*frame, shown);
        }
    } else {
        header.size = storedSize(header.format, head);
        header.decodeBytes = wholeDecodeBytes(header.format, head, header.size);
    }
    if (header.size.isEmpty()) {
        *why = fileProblem(QStringLiteral("图片文件已损坏"), fileName);
        return {};
    }
    if (header.decodeBytes > maxDecodeBytes) {
        *why = fileProblem(QStringLiteral("图片太大（%1 × %2）").arg(header.size.width()).arg(header.size.height()),
                           fileName);
        return {};
    }
    return header;
}

} // namespace vellumi
