// Drives the real SoundPlayer from a script of steps given as arguments, so the sound test can
// record what a sound server actually receives:
//   tone FILE SECONDS HZ RATE CHANNELS ENCODING
//                   write a sine at half scale as a wave file; ENCODING is one of pcm16, u8,
//                   pcm24, pcm32, float, ima, ms, ulaw, alaw
//   play FILE       call play(FILE) and go straight on
//   wait MS         run the event loop for MS milliseconds (the sound plays meanwhile)
//   copy FROM TO    replace TO with a copy of FROM
//   remove FILE     delete FILE
//   run COMMAND     run COMMAND with bash, the event loop going on meanwhile; the probe fails at
//                   the end if it fails
//   memory          print the probe's peak memory so far
// Each play's start on the monotonic clock and its duration are printed, to line calls up with
// what the server played.
#include "sound/SoundPlayer.h"

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTimer>

#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

struct Step {
    QString verb;
    QStringList args;
};

QList<Step> script;
qsizetype next = 0;
bool failed = false;
vellumi::SoundPlayer* player = nullptr;

bool parse(const QStringList& words)
{
    const QMap<QString, int> arity{{"tone", 6}, {"play", 1}, {"wait", 1}, {"copy", 2}, {"remove", 1}, {"run", 1}, {"memory", 0}};
    for (qsizetype i = 0; i < words.size();) {
        const int count = arity.value(words[i], -1);
        if (count < 0 || i + count >= words.size())
            return false;
        script.append({words[i], words.mid(i + 1, count)});
        i += 1 + count;
    }
    return true;
}

bool writeTone(const QStringList& args)
{
    const QMap<QString, int> encodings{{"pcm16", SF_FORMAT_PCM_16}, {"u8", SF_FORMAT_PCM_U8},
        {"pcm24", SF_FORMAT_PCM_24}, {"pcm32", SF_FORMAT_PCM_32}, {"float", SF_FORMAT_FLOAT},
        {"ima", SF_FORMAT_IMA_ADPCM}, {"ms", SF_FORMAT_MS_ADPCM}, {"ulaw", SF_FORMAT_ULAW}, {"alaw", SF_FORMAT_ALAW}};
    SF_INFO info{};
    info.samplerate = args[3].toInt();
    info.channels = args[4].toInt();
    info.format = SF_FORMAT_WAV | encodings.value(args[5]);
    SNDFILE* file = sf_open(QFile::encodeName(args[0]).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    const double hz = args[2].toDouble();
    const auto frames = static_cast<sf_count_t>(std::lround(args[1].toDouble() * info.samplerate));
    std::vector<float> block;
    bool ok = true;
    for (sf_count_t at = 0; at < frames && ok; at += 65536) {
        block.clear();
        for (sf_count_t i = at; i < std::min<sf_count_t>(frames, at + 65536); ++i)
            block.insert(block.end(), info.channels, float(0.5 * std::sin(2 * M_PI * hz * double(i) / info.samplerate)));
        const auto count = sf_count_t(block.size()) / info.channels;
        ok = sf_writef_float(file, block.data(), count) == count;
    }
    return sf_close(file) == 0 && ok;
}

void runSteps()
{
    while (next < script.size()) {
        const Step& step = script[next++];
        if (step.verb == QLatin1String("tone")) {
            if (!writeTone(step.args)) {
                std::printf("cannot write %s\n", qPrintable(step.args[0]));
                failed = true;
            }
        } else if (step.verb == QLatin1String("play")) {
            const auto start = std::chrono::steady_clock::now();
            player->play(step.args[0]);
            const auto end = std::chrono::steady_clock::now();
            std::printf("play at %lld ns returned after %lld us\n",
                static_cast<long long>(start.time_since_epoch() / std::chrono::nanoseconds(1)),
                static_cast<long long>((end - start) / std::chrono::microseconds(1)));
        } else if (step.verb == QLatin1String("wait")) {
            QTimer::singleShot(step.args[0].toInt(), Qt::PreciseTimer, runSteps);
            return;
        } else if (step.verb == QLatin1String("copy")) {
            QFile::remove(step.args[1]);
            QFile::copy(step.args[0], step.args[1]);
        } else if (step.verb == QLatin1String("remove")) {
            QFile::remove(step.args[0]);
        } else if (step.verb == QLatin1String("memory")) {
            QFile status(QStringLiteral("/proc/self/status"));
            if (status.open(QIODevice::ReadOnly)) {
                for (const QByteArray& line : status.readAll().split('\n'))
                    if (line.startsWith("VmHWM:"))
                        std::printf("peak memory %lld kB\n", line.mid(6).trimmed().split(' ').value(0).toLongLong());
            }
        } else if (step.verb == QLatin1String("run")) {
            auto* process = new QProcess(player);
            process->setProcessChannelMode(QProcess::ForwardedChannels);
            QObject::connect(process, &QProcess::finished, [process, command = step.args[0]](int code) {
                if (process->exitStatus() != QProcess::NormalExit || code != 0) {
                    std::printf("failed: %s\n", qPrintable(command));
                    failed = true;
                }
                process->deleteLater();
                runSteps();
            });
            std::fflush(stdout);
            process->start(QStringLiteral("bash"), {QStringLiteral("-c"), step.args[0]});
            return;
        }
    }
    std::fflush(stdout);
    QCoreApplication::exit(failed ? 1 : 0);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (!parse(app.arguments().mid(1))) {
        std::fprintf(stderr, "usage: playwave_probe [tone FILE SECONDS HZ RATE CHANNELS ENCODING | play FILE | "
                             "wait MS | copy FROM TO | remove FILE | run COMMAND | memory]...\n");
        return 2;
    }
    vellumi::SoundPlayer soundPlayer;
    player = &soundPlayer;
    QTimer::singleShot(0, runSteps);
    return app.exec();
}
