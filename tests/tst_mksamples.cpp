// Runs the generator the way the build does and checks what the game and the player depend on:
// files the loader accepts, pictures whose tiles can be placed by eye, a click that is short
// and then silent, and byte-identical output on every run.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <vector>

static QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Tiles are compared as the eye glances at them: by the mean colour of each 10 × 10 block of
// their 80 × 60 pixels, which is 8 × 6 pixels of the picture shrunk tenfold. Two tiles look
// different when some part of them clearly does.
static int distance(const QImage& a, const QImage& b)
{
    int most = 0;
    for (int i = 0; i < 48; ++i) {
        const QRgb p = a.pixel(i % 8, i / 8), q = b.pixel(i % 8, i / 8);
        most = std::max(most, (std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q))) / 3);
    }
    return most;
}

class TestSampleData : public QObject {
    Q_OBJECT

    QTemporaryDir first, second;
    QString out(const QString& name) const { return first.filePath(name); }

private slots:
    void initTestCase()
    {
        for (const QTemporaryDir* dir : {&first, &second}) {
            QProcess process;
            process.start(QStringLiteral(MKSAMPLES_EXE), {dir->path()});
            QVERIFY(process.waitForFinished(60000));
            QCOMPARE(process.exitCode(), 0);
            QCOMPARE(process.readAllStandardError(), QByteArray());
        }
    }

    // The game looks the pictures up by these exact names, and the player has to place each
    // tile of a 6 × 6 board by eye: no two tiles, of one picture or of two, may look nearly the
    // same, which a tile without features of its own soon does.
    void picturesMatchTheCountAndCanBeToldApart()
    {
        const int count = contents(out("image/picture.txt")).trimmed().toInt();
        QVERIFY(count >= 8 && !QFile::exists(out(QStringLiteral("image/angle%1.jpg").arg(count + 1))));
        QList<QImage> tiles;
        for (int n = 1; n <= count; ++n) {
            const QImage image(out(QStringLiteral("image/angle%1.jpg").arg(n)), "jpeg");
            QCOMPARE(image.size(), QSize(480, 360));
            const QImage small = image.scaled(48, 36, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            for (int t = 0; t < 36; ++t)
                tiles << small.copy(t % 6 * 8, t / 6 * 6, 8, 6);
        }
        for (qsizetype t = 0; t < tiles.size(); ++t)
            for (qsizetype u = t + 1; u < tiles.size(); ++u)
                QVERIFY2(distance(tiles[t], tiles[u]) > 15, qPrintable(QStringLiteral("tiles %1 and %2").arg(t).arg(u)));
    }

    void moveSoundIsAShortClickThenSilence()
    {
        SF_INFO info{};
        SNDFILE* file = sf_open(QFile::encodeName(out("move.wav")).constData(), SFM_READ, &info);
        std::vector<short> samples(file ? std::size_t(info.frames * info.channels) : 0);
        QVERIFY(file && sf_readf_short(file, samples.data(), info.frames) == info.frames && sf_close(file) == 0);
        QVERIFY(info.frames >= info.samplerate * 3 / 10);
        const auto clickEnd = samples.begin() + info.samplerate * info.channels * 8 / 100;
        QVERIFY(std::count(samples.begin(), clickEnd, 0) < clickEnd - samples.begin() - 100);
        QVERIFY(std::all_of(clickEnd, samples.end(), [](short s) { return s == 0; }));
    }

    void outputIsReproducible()
    {
        int files = 0;
        for (QDirIterator it(first.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext(); ++files) {
            const QString name = QDir(first.path()).relativeFilePath(it.next());
            QVERIFY2(contents(out(name)) == contents(second.filePath(name)), qPrintable(name));
        }
        QVERIFY(files >= 11);
    }
};

QTEST_GUILESS_MAIN(TestSampleData)
#include "tst_mksamples.moc"
