#include "sound/SoundFile.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace vellumi {

namespace {

// A mono 16-bit wave file of `frames` samples at 8 kHz.
bool writeWave(const QString& path, int frames)
{
    QByteArray wave("RIFF....WAVEfmt ");
    const auto put = [&wave](auto value) {
        const auto little = qToLittleEndian(value);
        wave.append(reinterpret_cast<const char*>(&little), sizeof little);
    };
    put(quint32(16)), put(quint16(1)), put(quint16(1)), put(quint32(8000)), put(quint32(16000)), put(quint16(2));
    put(quint16(16)), wave += "data", put(quint32(2 * frames));
    wave += QByteArray(2 * frames, '\x10');
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(wave) == wave.size();
}

} // namespace

class SoundTest : public QObject {
    Q_OBJECT
private slots:
    void anUnchangedFileIsDecodedOnce();
};

// The move sound is loaded at every press: decoded once, then the same samples each time, until
// the file changes; then nothing of the old one is heard while the new one decodes.
void SoundTest::anUnchangedFileIsDecodedOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("move.wav");
    QVERIFY(writeWave(path, 800));
    SoundFile file;
    QSignalSpy decoded(&file, &SoundFile::decoded);
    QVERIFY(file.load(path).isEmpty());
    QVERIFY(decoded.wait());
    const Sound first = file.load(path);
    QCOMPARE(first.samples.size(), 800 * 4);
    QVERIFY(file.load(path).samples.constData() == first.samples.constData());
    QVERIFY(!decoded.wait(100)); // no second decode

    QVERIFY(writeWave(path, 400));
    QVERIFY(file.load(path).isEmpty());
    QVERIFY(decoded.wait());
    QCOMPARE(file.load(path).samples.size(), 400 * 4);
}

} // namespace vellumi

QTEST_GUILESS_MAIN(vellumi::SoundTest)
#include "tst_sound.moc"
