// Runs the generator the way the build does and checks what the game and the
// player depend on: files the loader accepts, pictures that can actually be
// solved by eye, a well-formed sound, and byte-identical output on every run.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr int Side = 6;  // the finest board, hence the smallest tiles
constexpr int TileW = 480 / Side, TileH = 360 / Side;

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int runGenerator(const QStringList &args, QByteArray *errors = nullptr)
{
    QProcess process;
    process.start(QStringLiteral(MKSAMPLES_EXE), args);
    if (!process.waitForFinished(60000))
        return -1;
    if (errors)
        *errors = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// What a glance at a tile takes in: the mean colour of each 10 x 10 block.
constexpr int Block = 10;
using Glance = std::vector<std::array<double, 3>>;

Glance glance(const QImage &img, QPoint at)
{
    Glance blocks(std::size_t(TileW / Block * (TileH / Block)));
    for (int y = 0; y < TileH; ++y)
        for (int x = 0; x < TileW; ++x) {
            const QRgb c = img.pixel(at.x() + x, at.y() + y);
            auto &b = blocks[std::size_t(y / Block * (TileW / Block) + x / Block)];
            b[0] += qRed(c) / double(Block * Block);
            b[1] += qGreen(c) / double(Block * Block);
            b[2] += qBlue(c) / double(Block * Block);
        }
    return blocks;
}

// Brightness range across the blocks: a plain gradient scores low, any drawn feature high.
double contrast(const Glance &g)
{
    double lo = 255, hi = 0;
    for (const auto &b : g) {
        const double luma = 0.299 * b[0] + 0.587 * b[1] + 0.114 * b[2];
        lo = std::min(lo, luma);
        hi = std::max(hi, luma);
    }
    return hi - lo;
}

// Two tiles look different when some part of them clearly does.
double distance(const Glance &a, const Glance &b)
{
    double most = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        most = std::max(most, (std::abs(a[i][0] - b[i][0]) + std::abs(a[i][1] - b[i][1]) + std::abs(a[i][2] - b[i][2])) / 3);
    return most;
}

quint32 le(const QByteArray &bytes, int at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

} // namespace

class TestSampleData : public QObject {
    Q_OBJECT

private:
    QTemporaryDir first_, second_;
    QList<QImage> pictures_;

    QString out(const QString &name) const { return first_.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(first_.isValid() && second_.isValid());
        QByteArray errors;
        QCOMPARE(runGenerator({first_.path()}, &errors), 0);
        QVERIFY2(errors.isEmpty(), errors.constData());
        QCOMPARE(runGenerator({second_.path()}), 0);
    }

    void pictureCountMatchesFiles()
    {
        const QByteArray text = contents(out("image/picture.txt"));
        QVERIFY(text.endsWith('\n'));
        bool ok = false;
        const int count = text.trimmed().toInt(&ok);
        QVERIFY(ok);
        QVERIFY(count >= 8);
        for (int i = 1; i <= count; ++i) {
            // The game looks the files up by these exact names: no leading zeros.
            const QImage img(out(QStringLiteral("image/angle%1.jpg").arg(i)), "jpeg");
            QVERIFY2(!img.isNull(), qPrintable(QStringLiteral("angle%1.jpg").arg(i)));
            QCOMPARE(img.size(), QSize(480, 360));
            pictures_ << img.convertToFormat(QImage::Format_RGB32);
        }
        QVERIFY(!QFile::exists(out(QStringLiteral("image/angle%1.jpg").arg(count + 1))));
    }

    // The player has to place each tile of a 6 x 6 board by eye, so no tile may
    // be featureless and no two tiles of a picture may look nearly the same.
    void everyTileCanBeToldApart()
    {
        QVERIFY(!pictures_.isEmpty());
        for (int n = 0; n < pictures_.size(); ++n) {
            std::vector<Glance> tiles;
            for (int t = 0; t < Side * Side; ++t)
                tiles.push_back(glance(pictures_[n], QPoint(t % Side * TileW, t / Side * TileH)));
            for (int t = 0; t < Side * Side; ++t) {
                QVERIFY2(contrast(tiles[std::size_t(t)]) > 18,
                         qPrintable(QStringLiteral("picture %1: tile %2 is featureless").arg(n + 1).arg(t)));
                for (int u = t + 1; u < Side * Side; ++u)
                    QVERIFY2(distance(tiles[std::size_t(t)], tiles[std::size_t(u)]) > 15,
                             qPrintable(QStringLiteral("picture %1: tiles %2 and %3 look alike").arg(n + 1).arg(t).arg(u)));
            }
        }
    }

    void moveSoundIsAShortClickPaddedWithSilence()
    {
        const QByteArray wav = contents(out("move.wav"));
        QCOMPARE(wav.left(4) + wav.mid(8, 8) + wav.mid(36, 4), QByteArray("RIFFWAVEfmt data"));
        QCOMPARE(le(wav, 20, 2), 1u);  // PCM
        QCOMPARE(le(wav, 34, 2), 16u); // 16-bit
        QCOMPARE(le(wav, 40, 4), quint32(wav.size() - 44));
        const quint32 bytesPerSecond = le(wav, 28, 4);
        QVERIFY(le(wav, 40, 4) >= bytesPerSecond * 300 / 1000);
        // The click itself is short: everything after its first 80 ms is digital silence.
        const int clickEnd = 44 + int(bytesPerSecond * 80 / 1000);
        QVERIFY(wav.mid(clickEnd).count('\0') == wav.size() - clickEnd);
        QVERIFY(wav.mid(44, clickEnd - 44).count('\0') < clickEnd - 44);
    }

    void outputIsReproducible()
    {
        QStringList files = QDir(first_.path()).entryList(QDir::Files);
        for (const QString &name : QDir(out("image")).entryList(QDir::Files))
            files << "image/" + name;
        QVERIFY(files.size() >= 11);
        for (const QString &name : files)
            QVERIFY2(contents(out(name)) == contents(second_.filePath(name)), qPrintable(name));
    }
};

QTEST_GUILESS_MAIN(TestSampleData)
#include "tst_mksamples.moc"
