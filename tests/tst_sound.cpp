#include "sound/SoundFile.h"

#include <sndfile.h>

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

// A mono FLAC file holding `frames` samples at 8 kHz whose header claims `claimed`.
bool writeFlac(const QString& path, int frames, quint64 claimed)
{
    SF_INFO format{0, 8000, 1, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* out = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &format);
    if (!out)
        return false;
    const std::vector<float> samples(static_cast<std::size_t>(frames), 0.25f);
    const bool written = sf_writef_float(out, samples.data(), frames) == frames;
    sf_close(out);
    QFile file(path);
    if (!written || !file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    // The stream's first block: sample rate, channels and bits, then the 36-bit frame count.
    const qsizetype at = 4 + 4 + 10;
    const quint64 fields = qFromBigEndian<quint64>(bytes.constData() + at);
    const quint64 patched = qToBigEndian((fields & ~((quint64(1) << 36) - 1)) | claimed);
    bytes.replace(at, 8, reinterpret_cast<const char*>(&patched), 8);
    return bytes.startsWith("fLaC") && file.seek(0) && file.write(bytes) == bytes.size();
}

} // namespace

class SoundTest : public QObject {
    Q_OBJECT
private slots:
    void anUnchangedFileIsDecodedOnce();
    void aFileClaimingMoreThanItHoldsIsDecodedAsFarAsItGoes();
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

// Nothing in a file is believed: one whose header claims ten times the samples it holds gives
// those it holds, and the decoder is free for the next file.
void SoundTest::aFileClaimingMoreThanItHoldsIsDecodedAsFarAsItGoes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("move.flac");
    QVERIFY(writeFlac(path, 800, 8000));
    SoundFile file;
    QSignalSpy decoded(&file, &SoundFile::decoded);
    QVERIFY(file.load(path).isEmpty());
    QVERIFY(decoded.wait());
    QCOMPARE(file.load(path).samples.size(), 800 * 4);
}

} // namespace vellumi

QTEST_GUILESS_MAIN(vellumi::SoundTest)
#include "tst_sound.moc"
