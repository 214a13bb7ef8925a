#include "DataFolder.h"

#include "ui/Appearance.h"
#include "ui/ImageControl.h"
#include "ui/frmmain.h"

#include <QApplication>
#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace vellumi {
enum class Outcome { Plays, Ends };
}
Q_DECLARE_METATYPE(vellumi::Outcome)

namespace vellumi {

namespace {

// A picture that loads, in the given format.
QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A real JPEG whose frame header claims 60000 × 60000 pixels.
QByteArray hugeClaimingJpeg()
{
    QByteArray jpeg = encoded(testdata::picture(1, 16, 16), "JPG");
    const int sof = jpeg.indexOf("\xFF\xC0");
    const char size[] = {char(0xEA), char(0x60), char(0xEA), char(0x60)}; // 60000, big-endian
    jpeg.replace(sof + 5, 4, QByteArray(size, 4));
    return jpeg;
}

QByteArray le(quint32 value, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out.append(char(value >> (8 * i)));
    return out;
}

QByteArray wave(int channels, int rate, int bits, double seconds)
{
    const int block = channels * bits / 8;
    const int bytes = int(seconds * rate) * block;
    return "RIFF" + le(36 + bytes, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(channels, 2) + le(rate, 4) +
           le(rate * block, 4) + le(block, 2) + le(bits, 2) + "data" + le(bytes, 4) +
           QByteArray(bytes, char(bits == 8 ? 0x80 : 0x10));
}

} // namespace

class BadDataTest : public QObject {
    Q_OBJECT
public:
    // Plays through a data folder: every picture browsed once, a game started and left at
    // 3 × 3 and at 6 × 6, then the program ended from the menu.
    static int runChild(const QString& folder);

private slots:
    void eachDataFolderPlaysOrEndsWithAMessage_data();
    void eachDataFolderPlaysOrEndsWithAMessage();
};

int BadDataTest::runChild(const QString& folder)
{
    frmmain w(folder);
    w.fadeStepTime = 0;
    w.Form_Load();
    w.show();
    QTimer::singleShot(0, &w, [&w] {
        w.Timer1_Timer();
        for (int i = 0; i < qMin<int>(w.game.picCount, 12); ++i)
            w.imgnext_MouseDown(), w.imgnext_MouseUp();
        for (int size : {3, 6}) {
            while (w.game.gridSize != size)
                w.imgchage_MouseDown(), w.imgchage_MouseUp();
            w.E_game->trigger();
            w.picbox[w.game.blankPos == 0 ? 1 : 0]->setVisible(true); // any press at all must be safe
            w.picbox_MouseDown(w.game.blankPos == 0 ? 1 : 0, Qt::LeftButton);
            w.E_exit->trigger();
        }
        w.E_exit->trigger();
    });
    QTimer::singleShot(20000, [] { QCoreApplication::exit(3); });
    return QApplication::exec();
}

void BadDataTest::eachDataFolderPlaysOrEndsWithAMessage_data()
{
    QTest::addColumn<QByteArray>("count");         // the count file's bytes; null: no file
    QTest::addColumn<int>("pictures");             // pictures 1 … this many are written
    QTest::addColumn<QString>("replaced");         // this file, if any, is then written as …
    QTest::addColumn<QByteArray>("content");       // … these bytes
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("namedFile");        // the file a message must name

    const QString count = QStringLiteral("image/picture.txt");
    const QString second = QStringLiteral("image/angle2.jpg");
    const QByteArray jpeg = encoded(testdata::picture(2), "JPG");
    const auto row = [](const char* name) -> QTestData& { return QTest::newRow(name); };

    row("count file missing") << QByteArray() << 3 << QString() << QByteArray() << Outcome::Ends << count;
    row("count file empty") << QByteArray("") << 3 << QString() << QByteArray() << Outcome::Ends << count;
    row("count only blanks") << QByteArray("  \n ") << 3 << QString() << QByteArray() << Outcome::Ends << count;
    row("count abc") << QByteArray("abc") << 3 << QString() << QByteArray() << Outcome::Ends << count;
    row("count 40000") << QByteArray("40000") << 3 << QString() << QByteArray() << Outcome::Ends << count;
    row("count -5") << QByteArray("-5") << 3 << QString() << QByteArray() << Outcome::Ends << count;
    row("count 0") << QByteArray("0") << 3 << QString() << QByteArray() << Outcome::Ends << count;
    row("count 3,") << QByteArray("3,") << 3 << QString() << QByteArray() << Outcome::Plays << QString();
    row("count 3 junk") << QByteArray("3 junk") << 3 << QString() << QByteArray() << Outcome::Plays << QString();
    row("count after a BOM") << QByteArray("\xEF\xBB\xBF" "3\n") << 3 << QString() << QByteArray() << Outcome::Plays << QString();
    row("count with CRLF") << QByteArray("3\r\n") << 3 << QString() << QByteArray() << Outcome::Plays << QString();
    row("count in 100 MB") << QByteArray("3\n") + QByteArray(100 << 20, 'x') << 3 << QString() << QByteArray()
                           << Outcome::Plays << QString();
    row("count above the files") << QByteArray("5") << 3 << QString() << QByteArray() << Outcome::Ends << QStringLiteral("image/angle4.jpg");

    row("picture 1 missing") << QByteArray("3") << 0 << QString() << QByteArray() << Outcome::Ends << QStringLiteral("image/angle1.jpg");
    row("picture empty") << QByteArray("3") << 3 << second << QByteArray("") << Outcome::Ends << second;
    row("picture truncated") << QByteArray("3") << 3 << second << jpeg.left(jpeg.size() / 2) << Outcome::Plays << QString();
    row("picture not an image") << QByteArray("3") << 3 << second << QByteArray("just text\n") << Outcome::Ends
                                << second;
    row("PNG named .jpg") << QByteArray("3") << 3 << second << encoded(testdata::picture(2), "PNG")
                          << Outcome::Plays << QString();
    row("picture 4000 x 3000") << QByteArray("3") << 3 << second << encoded(testdata::picture(2, 4000, 3000), "JPG")
                               << Outcome::Plays << QString();
    row("picture claims 60000 x 60000") << QByteArray("3") << 3 << second << hugeClaimingJpeg() << Outcome::Ends
                                        << second;
    // Cut into 3 × 3 it plays; 5 rows of pixels cannot make 6 rows of tiles.
    row("picture 7 x 5") << QByteArray("1") << 1 << QStringLiteral("image/angle1.jpg") << encoded(testdata::picture(1, 7, 5), "JPG")
                         << Outcome::Ends << QStringLiteral("image/angle1.jpg");

    const QString sound = QStringLiteral("move.wav");
    row("sound missing") << QByteArray("3") << 3 << QString() << QByteArray() << Outcome::Plays << QString();
    row("sound empty") << QByteArray("3") << 3 << sound << QByteArray("") << Outcome::Plays << QString();
    row("sound not a wave") << QByteArray("3") << 3 << sound << QByteArray("RIFFjunk") << Outcome::Plays << QString();
    row("sound 8-bit") << QByteArray("3") << 3 << sound << wave(1, 22050, 8, 0.1) << Outcome::Plays << QString();
    row("sound stereo 48 kHz") << QByteArray("3") << 3 << sound << wave(2, 48000, 16, 0.1) << Outcome::Plays << QString();
    row("sound 10 s") << QByteArray("3") << 3 << sound << wave(1, 44100, 16, 10) << Outcome::Plays << QString();
}

// Every folder is named with blanks and Chinese characters, as a player's may be.
void BadDataTest::eachDataFolderPlaysOrEndsWithAMessage()
{
    QFETCH(QByteArray, count);
    QFETCH(int, pictures);
    QFETCH(QString, replaced);
    QFETCH(QByteArray, content);
    QFETCH(Outcome, outcome);
    QFETCH(QString, namedFile);

    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("我的 拼图"));
    QVERIFY(testdata::makeDataFolder(folder, count, pictures));
    if (count.isNull())
        QFile::remove(folder + QStringLiteral("/image/picture.txt"));
    if (!replaced.isEmpty())
        QVERIFY(testdata::writeFile(folder + QLatin1Char('/') + replaced, content));

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), folder});
    QVERIFY(child.waitForFinished(30000));
    const QString err = QString::fromUtf8(child.readAllStandardError());
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    if (outcome == Outcome::Plays) {
        QVERIFY2(child.exitCode() == 0, qPrintable(err));
    } else {
        QCOMPARE(child.exitCode(), 1);
        QVERIFY2(err.contains(QStringLiteral("tessra: ")) && err.contains(folder + QLatin1Char('/') + namedFile),
                 qPrintable(err));
    }
}

} // namespace vellumi

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    vellumi::applyAppearance(app);
    if (argc == 3 && QByteArray(argv[1]) == "--child")
        return vellumi::BadDataTest::runChild(QString::fromLocal8Bit(argv[2]));
    vellumi::BadDataTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_baddata.moc"
