// Runs the generator the way the build does and checks what the game and the player depend on:
// files the loader accepts, pictures sharp on scaled screens whose tiles can be placed by eye,
// a click that is short and then silent, and byte-identical output on every run.
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <vector>

// How far apart two colours look: the mean difference of their three channels.
static int colourDistance(QRgb p, QRgb q)
{
    return (std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q))) / 3;
}

// Tiles are compared as the eye glances at them: by the mean colour of each 10 × 10 block of
// their 80 × 60 pixels, which is 8 × 6 pixels of the picture shrunk tenfold. Two tiles look
// different when some part of them clearly does: its three channels differ by more than 15 on
// average.
static bool lookAlike(const QImage& a, const QImage& b)
{
    for (int i = 0; i < 48; ++i) {
        if (colourDistance(a.pixel(i % 8, i / 8), b.pixel(i % 8, i / 8)) > 15)
            return false;
    }
    return true;
}

class TestSampleData : public QObject {
    Q_OBJECT

    QTemporaryDir first, second;
    QString picture(int n) const { return first.filePath(QStringLiteral("image/angle%1.jpg").arg(n)); }

private slots:
    void initTestCase()
    {
        for (const QTemporaryDir* dir : {&first, &second}) {
            QProcess process;
            process.start(QStringLiteral(MKSAMPLES_EXE), {dir->path()});
            QVERIFY(process.waitForFinished(60000) && process.exitCode() == 0);
            QCOMPARE(process.readAllStandardError(), QByteArray());
        }
    }

    // The game looks the pictures up by these exact names, and the player has to place each
    // tile of a 6 × 6 board by eye: no two tiles, of one picture or of two, may look nearly the
    // same, which a tile without features of its own soon does.
    void picturesMatchTheCountAndCanBeToldApart()
    {
        QFile countFile(first.filePath("image/picture.txt"));
        QVERIFY(countFile.open(QIODevice::ReadOnly));
        const int count = countFile.readAll().trimmed().toInt();
        QVERIFY(count >= 8 && !QFile::exists(picture(count + 1)));
        QList<QImage> tiles;
        for (int n = 1; n <= count; ++n) {
            QImage image(picture(n), "jpeg");
            QCOMPARE(image.size(), QSize(1440, 1080));
            image = image.scaled(48, 36, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            for (int t = 0; t < 36; ++t)
                tiles << image.copy(t % 6 * 8, t / 6 * 6, 8, 6);
        }
        for (qsizetype t = 0; t < tiles.size(); ++t)
            for (qsizetype u = t + 1; u < tiles.size(); ++u)
                QVERIFY2(!lookAlike(tiles[t], tiles[u]), qPrintable(QString("tiles %1 and %2").arg(t).arg(u)));
    }

    // Screens scaled up to three times show the pictures at their full size, so they must carry
    // its detail. One drawn smaller and blown up barely changes when shrunk to 480 × 360 and
    // grown back; a sharp one changes there by more than an eighth of the range at one pixel
    // in 400 or more.
    void picturesAreSharpAtFullSize()
    {
        for (int n = 1; QFile::exists(picture(n)); ++n) {
            const QImage image(picture(n), "jpeg");
            const QImage blurred = image.scaled(480, 360, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                       .scaled(image.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            qsizetype changed = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    changed += colourDistance(image.pixel(x, y), blurred.pixel(x, y)) > 32;
            QVERIFY2(changed * 400 >= image.width() * image.height(), qPrintable(QString("picture %1").arg(n)));
        }
    }

    void moveSoundIsAShortClickThenSilence()
    {
        SF_INFO info{};
        SNDFILE* file = sf_open(QFile::encodeName(first.filePath("move.wav")).constData(), SFM_READ, &info);
        std::vector<short> samples(file ? std::size_t(info.frames * info.channels) : 0);
        QVERIFY(file && sf_readf_short(file, samples.data(), info.frames) == info.frames && sf_close(file) == 0);
        QVERIFY(info.frames >= info.samplerate * 3 / 10);
        const auto clickEnd = samples.begin() + info.samplerate * info.channels * 8 / 100;
        QVERIFY(std::count(samples.begin(), clickEnd, 0) < clickEnd - samples.begin() - 100);
        QVERIFY(std::all_of(clickEnd, samples.end(), [](short s) { return s == 0; }));
    }

    void outputIsReproducible() { QCOMPARE(QProcess::execute("diff", {"-r", first.path(), second.path()}), 0); }
};

QTEST_GUILESS_MAIN(TestSampleData)
#include "tst_mksamples.moc"
