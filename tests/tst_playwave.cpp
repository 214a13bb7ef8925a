#include "sound/PcmConvert.h"
#include "sound/WaveFile.h"
#include "sound/modSound.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QtEndian>

#include <cstring>

#include <sys/stat.h>

using namespace vellumi::modSound;

namespace {

template <typename T>
QByteArray le(T value)
{
    QByteArray bytes(sizeof value, Qt::Uninitialized);
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray chunk(const char* id, const QByteArray& body, quint32 claimedSize)
{
    const QByteArray bytes = QByteArray(id, 4) + le(claimedSize) + body;
    return body.size() % 2 ? bytes + '\0' : bytes;
}

QByteArray chunk(const char* id, const QByteArray& body)
{
    return chunk(id, body, quint32(body.size()));
}

// The 16 bytes every format chunk starts with.
QByteArray formatFields(quint16 tag, quint16 channels, quint32 rate, quint16 bits, quint16 blockAlign)
{
    return le(tag) + le(channels) + le(rate) + le(rate * blockAlign) + le(blockAlign) + le(bits);
}

QByteArray fmt(quint16 tag, quint16 channels, quint32 rate, quint16 bits, int blockAlign = -1)
{
    return chunk("fmt ", formatFields(tag, channels, rate, bits,
                             quint16(blockAlign < 0 ? channels * bits / 8 : blockAlign)));
}

QByteArray extensibleFmt(quint16 channels, quint32 rate, quint16 bits, quint16 subformat)
{
    const QByteArray guidTail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    return chunk("fmt ", formatFields(0xFFFE, channels, rate, bits, quint16(channels * bits / 8))
            + le<quint16>(22) + le(bits) + le<quint32>(3) + le(subformat) + guidTail);
}

QByteArray riff(const QByteArray& chunks)
{
    return "RIFF" + le(quint32(4 + chunks.size())) + "WAVE" + chunks;
}

// The same samples as a file holds them and as the reader hands them out.
QByteArray fileSamples(std::initializer_list<qint16> samples)
{
    QByteArray bytes;
    for (qint16 sample : samples)
        bytes += le(sample);
    return bytes;
}

QByteArray hostSamples(std::initializer_list<qint16> samples)
{
    return QByteArray(reinterpret_cast<const char*>(std::data(samples)), qsizetype(samples.size() * 2));
}

template <typename T>
QList<T> samplesOf(const QByteArray& pcm)
{
    QList<T> samples(pcm.size() / qsizetype(sizeof(T)));
    std::memcpy(samples.data(), pcm.constData(), samples.size() * sizeof(T));
    return samples;
}

QAudioFormat audioFormat(int rate, int channels, QAudioFormat::SampleFormat sampleFormat)
{
    QAudioFormat format;
    format.setSampleRate(rate);
    format.setChannelCount(channels);
    format.setSampleFormat(sampleFormat);
    return format;
}

const QByteArray tone = fileSamples({0, 1000, -1000, 32767, -32768, 5});
const QByteArray toneOnHost = hostSamples({0, 1000, -1000, 32767, -32768, 5});
const QByteArray bytes8("\x80\xff\x00\x40", 4);

} // namespace

class PlayWaveTest : public QObject {
    Q_OBJECT
private slots:
    void readsPlayableFiles_data();
    void readsPlayableFiles();
    void givesNothingForWhatItCannotPlay_data();
    void givesNothingForWhatItCannotPlay();
    void convertsSampleTypesAndChannels();
    void convertsTheRate();
    void playWaveFromAnotherThreadIsHandedToTheGuiThread();
    void playWaveIsSilentAndQuietWithoutASoundServer();
};

void PlayWaveTest::readsPlayableFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QByteArray>("pcm");

    const QByteArray fmt16 = fmt(1, 1, 44100, 16);
    QTest::newRow("16-bit mono") << riff(fmt16 + chunk("data", tone)) << 44100 << 1 << 16 << toneOnHost;
    QTest::newRow("8-bit unsigned mono") << riff(fmt(1, 1, 22050, 8) + chunk("data", bytes8))
                                         << 22050 << 1 << 8 << bytes8;
    QTest::newRow("16-bit stereo 48 kHz")
        << riff(fmt(1, 2, 48000, 16) + chunk("data", tone.first(8))) << 48000 << 2 << 16 << toneOnHost.first(8);
    QTest::newRow("extensible header, PCM inside")
        << riff(extensibleFmt(2, 44100, 16, 1) + chunk("data", tone.first(8))) << 44100 << 2 << 16
        << toneOnHost.first(8);
    QTest::newRow("other chunks before and between")
        << riff(chunk("LIST", QByteArray(26, 'x')) + fmt16 + chunk("fact", le<quint32>(6)) + chunk("data", tone))
        << 44100 << 1 << 16 << toneOnHost;
    QTest::newRow("odd-sized chunk is padded")
        << riff(fmt16 + chunk("note", "abc") + chunk("data", tone)) << 44100 << 1 << 16 << toneOnHost;
    QTest::newRow("trailing half frame dropped")
        << riff(fmt(1, 2, 44100, 16) + chunk("data", tone.first(10))) << 44100 << 2 << 16 << toneOnHost.first(8);
    // Cut-off files play what they hold; nothing past the end is read.
    QTest::newRow("truncated data chunk") << riff(fmt16 + chunk("data", tone, 4000)).chopped(4)
                                          << 44100 << 1 << 16 << toneOnHost.first(8);
    QTest::newRow("data size far beyond the file")
        << riff(fmt16 + chunk("data", tone, 0xFFFFFFF0)) << 44100 << 1 << 16 << toneOnHost;
}

void PlayWaveTest::readsPlayableFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, bits);
    QFETCH(QByteArray, pcm);

    const std::optional<WaveSound> sound = readWave(file);
    QVERIFY(sound);
    QCOMPARE(sound->sampleRate, rate);
    QCOMPARE(sound->channels, channels);
    QCOMPARE(sound->bitsPerSample, bits);
    QCOMPARE(sound->pcm, pcm);
    QCOMPARE(sound->frameCount(), pcm.size() / (channels * bits / 8));
}

void PlayWaveTest::givesNothingForWhatItCannotPlay_data()
{
    QTest::addColumn<QByteArray>("file");

    const QByteArray data = chunk("data", tone);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("move.wav is not here, have a text file instead");
    QTest::newRow("an AVI") << ("RIFF" + le<quint32>(100) + "AVI " + fmt(1, 1, 44100, 16) + data);
    QTest::newRow("no data chunk") << riff(fmt(1, 1, 44100, 16));
    QTest::newRow("no fmt chunk") << riff(data);
    QTest::newRow("empty data chunk") << riff(fmt(1, 1, 44100, 16) + chunk("data", {}));
    QTest::newRow("less than one frame") << riff(fmt(1, 2, 44100, 16) + chunk("data", tone.first(2)));
    QTest::newRow("MP3") << riff(fmt(0x55, 1, 44100, 0, 1) + data);
    QTest::newRow("float") << riff(fmt(3, 1, 44100, 32) + data);
    QTest::newRow("0 channels") << riff(fmt(1, 0, 44100, 16, 2) + data);
    QTest::newRow("24-bit") << riff(fmt(1, 1, 44100, 24) + data);
    QTest::newRow("rate 0") << riff(fmt(1, 1, 0, 16) + data);
    QTest::newRow("block size contradicts the layout") << riff(fmt(1, 1, 44100, 16, 4) + data);
    QTest::newRow("fmt too short") << riff(chunk("fmt ", QByteArray(14, '\1')) + data);
    QTest::newRow("a chunk claiming 4 GiB before data")
        << riff(fmt(1, 1, 44100, 16) + chunk("junk", "abcd", 0xFFFFFFF0) + data);
}

void PlayWaveTest::givesNothingForWhatItCannotPlay()
{
    QFETCH(QByteArray, file);
    QVERIFY(!readWave(file));
}

void PlayWaveTest::convertsSampleTypesAndChannels()
{
    // Full range in, full range out: the loudest 8-bit sample must not wrap on the way up.
    const WaveSound eightBitMono{8000, 1, 8, bytes8};
    QCOMPARE(samplesOf<qint16>(convertPcm(eightBitMono, audioFormat(8000, 1, QAudioFormat::Int16))),
        (QList<qint16>{0, 32512, -32768, -16384}));
    QCOMPARE(samplesOf<qint16>(convertPcm(eightBitMono, audioFormat(8000, 2, QAudioFormat::Int16))),
        (QList<qint16>{0, 0, 32512, 32512, -32768, -32768, -16384, -16384}));

    const WaveSound stereo{8000, 2, 16, hostSamples({1000, 3000, -32768, 32767})};
    QCOMPARE(samplesOf<qint16>(convertPcm(stereo, audioFormat(8000, 1, QAudioFormat::Int16))),
        (QList<qint16>{2000, -1}));
    QCOMPARE(samplesOf<float>(convertPcm(stereo, audioFormat(8000, 2, QAudioFormat::Float))),
        (QList<float>{1000 / 32768.0f, 3000 / 32768.0f, -1.0f, 32767 / 32768.0f}));
    QCOMPARE(samplesOf<quint8>(convertPcm(stereo, audioFormat(8000, 2, QAudioFormat::UInt8))),
        (QList<quint8>{132, 140, 0, 255}));

    QVERIFY(convertPcm(stereo, QAudioFormat()).isEmpty());
    QVERIFY(convertPcm(WaveSound{8000, 1, 16, {}}, audioFormat(8000, 1, QAudioFormat::Int16)).isEmpty());
}

void PlayWaveTest::convertsTheRate()
{
    const WaveSound ramp{8000, 1, 16, hostSamples({0, 1000, 2000, 3000})};
    QCOMPARE(samplesOf<qint16>(convertPcm(ramp, audioFormat(16000, 1, QAudioFormat::Int16))),
        (QList<qint16>{0, 500, 1000, 1500, 2000, 2500, 3000, 3000}));
    QCOMPARE(samplesOf<qint16>(convertPcm(ramp, audioFormat(4000, 1, QAudioFormat::Int16))),
        (QList<qint16>{0, 2000}));

    // A second of sound stays a second long, whichever way the rate goes.
    const WaveSound second{11025, 1, 8, QByteArray(11025, char(0x80))};
    QCOMPARE(convertPcm(second, audioFormat(48000, 2, QAudioFormat::Int16)).size(), 48000 * 4);
    QCOMPARE(convertPcm(second, audioFormat(8000, 1, QAudioFormat::UInt8)).size(), 8000);
}

// The first call of the program, so that, were it not handed over, the player and its timers
// would be made on the wrong thread.
void PlayWaveTest::playWaveFromAnotherThreadIsHandedToTheGuiThread()
{
    QTest::failOnWarning(QRegularExpression(".*"));
    QThread* thread = QThread::create([] { PlayWave(QStringLiteral("/nonexistent/move.wav")); });
    thread->start();
    QVERIFY(thread->wait(10000));
    delete thread;
    QTest::qWait(50);
}

// No server is reachable here (see main): every call must return, silent and without a word,
// whatever it is given.
void PlayWaveTest::playWaveIsSilentAndQuietWithoutASoundServer()
{
    QTest::failOnWarning(QRegularExpression(".*"));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString good = dir.filePath("move.wav");
    const QString garbage = dir.filePath("garbage.wav");
    QFile goodFile(good);
    QVERIFY(goodFile.open(QIODevice::WriteOnly));
    goodFile.write(riff(fmt(1, 1, 44100, 16) + chunk("data", QByteArray(44100, '\1'))));
    goodFile.close();
    QFile garbageFile(garbage);
    QVERIFY(garbageFile.open(QIODevice::WriteOnly));
    garbageFile.write(QByteArray(5000, '\x7f'));
    garbageFile.close();
    // Opening a pipe waits for a writer: it must not be opened at all.
    const QString pipe = dir.filePath("pipe.wav");
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);

    PlayWave(dir.filePath("missing.wav"));
    PlayWave(garbage);
    PlayWave(QString());
    PlayWave(dir.path());
    PlayWave(pipe);
    for (int i = 0; i < 30; ++i)
        PlayWave(i % 3 ? good : garbage);
    QTest::qWait(200);
}

int main(int argc, char* argv[])
{
    // Point the sound library at a server that cannot exist: these tests must behave the same
    // on a desktop with sound as in CI, and must never start a server of their own.
    qputenv("PULSE_SERVER", "unix:/nonexistent/vellumi-no-sound-server");
    QCoreApplication app(argc, argv);
    PlayWaveTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_playwave.moc"
