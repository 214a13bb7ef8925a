#include "sound/SoundPlayer.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sndfile.h>

#include <vector>

#include <sys/stat.h>

// Whether a sound is heard, and whole, is for the real-sound test; here no server is reachable
// (see main), and whatever play() is given it must return, silent and without a word.
class SoundTest : public QObject {
    Q_OBJECT
private slots:
    void playIsSilentAndQuiet();
};

void SoundTest::playIsSilentAndQuiet()
{
    QTest::failOnWarning(QRegularExpression(".*"));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    };
    write("garbage.wav", QByteArray(5000, '\x7f'));
    write("empty.wav", {});
    // One that decodes, so that only the missing server keeps it silent.
    SF_INFO format{0, 8000, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* good = sf_open(QFile::encodeName(dir.filePath("good.wav")).constData(), SFM_WRITE, &format);
    const std::vector<short> second(8000, 3000);
    QVERIFY(good && sf_writef_short(good, second.data(), 8000) == 8000 && sf_close(good) == 0);
    // Opening a pipe waits for a writer: it must not be opened at all.
    QCOMPARE(mkfifo(QFile::encodeName(dir.filePath("pipe.wav")).constData(), 0600), 0);

    vellumi::SoundPlayer player;
    for (const char* name : {"missing.wav", "garbage.wav", "empty.wav", "pipe.wav", "", "good.wav"})
        player.play(name[0] ? dir.filePath(name) : QString());
    player.play(dir.path());
    for (int i = 0; i < 10; ++i)
        player.play(dir.filePath(i % 2 ? "good.wav" : "garbage.wav"));
    QTest::qWait(200);
}

int main(int argc, char* argv[])
{
    // A server that cannot exist: this must behave the same on a desktop with sound as in CI,
    // and must never start a server of its own.
    qputenv("PULSE_SERVER", "unix:/nonexistent/vellumi-no-sound-server");
    QCoreApplication app(argc, argv);
    SoundTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sound.moc"
