#include "DataFolder.h"

#include "files/PictureFile.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>
#include <random>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vellumi;
using namespace Qt::StringLiterals;

namespace {

// Four quadrants of clearly different colours: a picture turned, cropped off centre or only
// partly read shows it in its corners.
QImage quadrants(QSize size, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y,
                           x < size.width() / 2 ? (y < size.height() / 2 ? 0xffd02020 : 0xff2020d0)
                                                : (y < size.height() / 2 ? 0xff20d020 : 0xffe0e0e0));
    return image.convertToFormat(format);
}

// The file an image would be saved as, kept in memory.
QByteArray encoded(const QImage& image, const char* format, bool progressive = false)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return buffer.data();
}

// A JPEG as a phone held upright writes it: the picture stored on its side, and an EXIF
// orientation of 6 saying to turn it a quarter right.
QByteArray turnedByExif(const QImage& stored)
{
    const QByteArray exif("\xFF\xE1\x00\x22"                                  // an APP1 segment of 34 bytes
                          "Exif\0\0MM\0\x2A\0\0\0\x08"                        // big-endian, the first directory at 8
                          "\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0", // one entry: orientation 6
                          36);
    return encoded(stored, "jpeg").insert(2, exif);
}

bool near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) < 90;
}

} // namespace

class PicturesTest : public QObject {
    Q_OBJECT
private slots:
    void everyPictureBecomes480By360_data();
    void everyPictureBecomes480By360();
    void aPictureThatCannotBeReadSaysWhy();

private:
    QTemporaryDir dir;
};

void PicturesTest::everyPictureBecomes480By360_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QList<QRgb>>("corners"); // top left, top right, bottom left, bottom right
    const QList<QRgb> upright{0xffd02020, 0xff20d020, 0xff2020d0, 0xffe0e0e0};
    const auto save = [this](const char* name, const QImage& image, const char* format) {
        image.save(dir.filePath(name), format);
        return dir.filePath(name);
    };
    QTest::newRow("1920 x 1080") << save("wide.jpg", quadrants({1920, 1080}), "jpeg") << upright;
    QTest::newRow("4000 x 3000") << save("big.jpg", quadrants({4000, 3000}), "jpeg") << upright;
    QTest::newRow("7 x 5") << save("tiny.jpg", quadrants({8, 6}).scaled(7, 5), "jpeg") << upright;
    QList<QRgb> grey;
    for (QRgb colour : upright)
        grey << quadrants({2, 2})
                    .convertToFormat(QImage::Format_Grayscale8)
                    .pixel(upright.indexOf(colour) % 2, upright.indexOf(colour) / 2);
    QTest::newRow("greyscale") << save("grey.jpg", quadrants({640, 480}, QImage::Format_Grayscale8), "jpeg") << grey;
    QTest::newRow("PNG named .jpg") << save("png.jpg", quadrants({600, 450}), "png") << upright;
    QTest::newRow("BMP") << save("pic.bmp", quadrants({800, 600}), "bmp") << upright;
    if (QImageWriter::supportedImageFormats().contains("webp")) {
        QTest::newRow("WebP") << save("pic.webp", quadrants({800, 600}), "webp") << upright;
        quadrants({800, 600}).save(dir.filePath("lossless.webp"), "webp", 100); // stored in another kind of chunk
        QTest::newRow("WebP, lossless") << dir.filePath("lossless.webp") << upright;
        QImage translucent = quadrants({800, 600}, QImage::Format_ARGB32);
        translucent.setPixel(400, 300, 0x80808080); // with an alpha channel: an extended chunk
        QTest::newRow("WebP, extended") << save("alpha.webp", translucent, "webp") << upright;
    }
    testdata::writeFile(dir.filePath("phone.jpg"), turnedByExif(quadrants({4000, 3000})));
    QTest::newRow("EXIF orientation 6") << dir.filePath("phone.jpg")
                                        << QList<QRgb>{0xff2020d0, 0xffd02020, 0xffe0e0e0, 0xff20d020};
    QProcess::execute(QStringLiteral("convert"),
                      {save("rgb.png", quadrants({640, 480}), "png"), QStringLiteral("-colorspace"),
                       QStringLiteral("CMYK"), dir.filePath("cmyk.jpg")});
    QTest::newRow("CMYK") << dir.filePath("cmyk.jpg") << upright;
    for (const char* gif : {"GIF87", "GIF"}) { // GIF87a and GIF89a
        QProcess::execute(QStringLiteral("convert"),
                          {dir.filePath("rgb.png"), QStringLiteral("%1:%2").arg(gif, dir.filePath(gif))});
        QTest::newRow(gif) << dir.filePath(gif) << upright;
    }
}

void PicturesTest::everyPictureBecomes480By360()
{
    QFETCH(QString, file);
    QFETCH(QList<QRgb>, corners);
    if (!QFile::exists(file))
        QSKIP("made by ImageMagick's convert, which is not installed");
    QString why;
    const QImage picture = loadPicture(file, &why);
    QVERIFY2(!picture.isNull(), qPrintable(why));
    const std::optional<PictureHeader> header = checkPicture(file, &why);
    QVERIFY2(header, qPrintable(why));
    QCOMPARE(header->size, QImageReader(file).size()); // as stored, read from the first bytes
    QCOMPARE(picture.size(), QSize(480, 360));
    QCOMPARE(picture.format(), QImage::Format_RGB32);
    const QPoint at[] = {{2, 2}, {477, 2}, {2, 357}, {477, 357}};
    for (int i = 0; i < 4; ++i)
        QVERIFY2(near(picture.pixel(at[i]), corners[i]),
                 qPrintable(QStringLiteral("corner %1: %2").arg(i).arg(picture.pixel(at[i]), 0, 16)));
}

// A picture's header sent to a child process, which reports its peak memory.
long peakMemoryKiB(const QString& file)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--peak"), file});
    child.waitForFinished(60000);
    return child.readAllStandardOutput().trimmed().toLong();
}

void PicturesTest::aPictureThatCannotBeReadSaysWhy()
{
    // Exactly the size shown: the very pixels, untouched.
    const QImage exact = quadrants({480, 360});
    exact.save(dir.filePath("exact.png"));
    QString why;
    QCOMPARE(loadPicture(dir.filePath("exact.png"), &why), exact);

    const auto write = [this](const char* name, const QByteArray& content) {
        QVERIFY(testdata::writeFile(dir.filePath(name), content));
    };
    write("text.jpg", "just text\n");
    QVERIFY(mkfifo(QFile::encodeName(dir.filePath("pipe.jpg")).constData(), 0600) == 0);
    QFile::link(dir.filePath("loop.jpg"), dir.filePath("loop.jpg"));
    // SVGs whose picture is the SVG itself, or a pipe: reading either would never end.
    const QByteArray svg(
        "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' width='480' "
        "height='360'><image width='480' height='360' xlink:href='%1'/></svg>");
    write("self.svg", QString::fromLatin1(svg).arg(dir.filePath("self.svg")).toUtf8());
    write("piped.jpg", QString::fromLatin1(svg).arg(dir.filePath("pipe.jpg")).toUtf8());
    // A tiny progressive JPEG that claims to be 16000 × 15000: decoding it would take gigabytes.
    QByteArray jpeg = encoded(quadrants({16, 16}), "jpeg", true);
    const qsizetype frame = jpeg.indexOf("\xFF\xC2");
    QVERIFY(frame > 0);
    write("bomb.jpg", jpeg.replace(frame + 5, 4, QByteArray("\x3A\x98\x3E\x80", 4)));
    write("arithmetic.jpg", QByteArray(jpeg).replace(frame + 1, 1, "\xCA")); // the same claim, arithmetic-coded
    // The same claim in one scan is decoded a stripe at a time at an eighth of its size: allowed.
    QByteArray baseline = encoded(quadrants({16, 16}), "jpeg");
    write("wide.jpg", baseline.replace(baseline.indexOf("\xFF\xC0") + 5, 4, QByteArray("\x3A\x98\x3E\x80", 4)));
    QVERIFY(checkPicture(dir.filePath("wide.jpg"), &why));
    // A photo cut short in the middle of its picture data.
    const QByteArray whole = encoded(quadrants({640, 480}), "jpeg"), png = encoded(quadrants({640, 480}), "png");
    write("whole.jpg", whole);
    write("cut.jpg", whole.left(whole.size() * 2 / 3));
    write("short.png", png.left(23)); // cut off in the middle of its height
    write("huge.png", QByteArray(png).replace(16, 8, QByteArray("\0\0\x75\x30\0\0\x75\x30", 8))); // 30000 × 30000
    write("huge.gif", QByteArray("GIF89a\x20\x1C\x20\x1C", 10)); // 7200 × 7200, drawn onto a second picture as large
    // 8000 × 7000 at 16 bits a channel: twice the memory of the same picture at 8 bits, too much.
    QByteArray deep = QByteArray(png).replace(16, 8, QByteArray("\0\0\x1F\x40\0\0\x1B\x58", 8));
    write("deep.png", deep.replace(24, 1, "\x10"));

    for (auto [name, reason] : {std::pair{"missing.jpg", "找不到文件"},
                                {"text.jpg", "不是图片文件"},
                                {"pipe.jpg", "不是普通文件"},
                                {"loop.jpg", "符号链接循环"},
                                {"", "不是普通文件"},
                                {"self.svg", "不支持的图片格式（svg）"},
                                {"piped.jpg", "不支持的图片格式（svg）"},
                                {"bomb.jpg", "图片太大（16000 × 15000）"},
                                {"arithmetic.jpg", "图片太大（16000 × 15000）"},
                                {"cut.jpg", "图片文件不完整"},
                                {"short.png", "图片文件已损坏"},
                                {"huge.png", "图片太大（30000 × 30000）"},
                                {"huge.gif", "图片太大（7200 × 7200）"},
                                {"deep.png", "图片太大（8000 × 7000）"}}) {
        QVERIFY(loadPicture(dir.filePath(name), &why).isNull());
        QCOMPARE(why, QStringLiteral("%1：%2").arg(QString::fromUtf8(reason), dir.filePath(name)));
    }
    QVERIFY(!loadPicture(dir.filePath("whole.jpg"), &why).isNull());
    // Up to 640 × 480 a picture is read at once; past that, off the window's thread.
    QVERIFY(checkPicture(dir.filePath("whole.jpg"), &why)->isQuickToRead());
    QVERIFY(!checkPicture(dir.filePath("wide.jpg"), &why)->isQuickToRead());
    const QString tooLong = dir.filePath(QString(300, 'x'));
    QVERIFY(loadPicture(tooLong, &why).isNull() && why.startsWith("无法打开文件：" + tooLong + "（"));
    // Refused from its header alone: the memory of the program and no more.
    const long peak = peakMemoryKiB(dir.filePath("bomb.jpg"));
    QVERIFY2(peak > 0 && peak < 512 * 1024, qPrintable(QString::number(peak)));
    // Within our bound, though past the one Qt keeps of itself for pictures read whole.
    QVERIFY(quadrants({8200, 8200}).save(dir.filePath("large.bmp")) &&
            !loadPicture(dir.filePath("large.bmp"), &why).isNull());
}
int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--peak") {
        QString why;
        loadPicture(QString::fromLocal8Bit(argv[2]), &why);
        struct rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%ld\n", usage.ru_maxrss);
        return 0;
    }
    PicturesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pictures.moc"
