// The move sound's figures, each next to its target. Run by hand:
//
//   ./build/bench/bench_sound
//
// Starts a private PulseAudio server whose only output is a pipe this program reads, so that the
// moment a sound's first sample reaches the server's output can be taken; where none can be
// started there is nothing to measure. Every figure is a median over many calls, printed in the
// summary at the end; Qt's own sound effect, its file loaded beforehand, is the floor the
// latency is measured against.
#include "PipeServer.h"

#include "sound/SoundPlayer.h"

#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

PipeServer* pipeServer = nullptr;
vellumi::SoundPlayer* player = nullptr;
QString clickFile, paddedClickFile, bigFile, hugeFile;

// A tone at half scale, then `paddingSeconds` of silence.
bool writeTone(const QString& name, double seconds, int rate, int hz, int encoding, double paddingSeconds = 0)
{
    SF_INFO info{0, rate, 1, SF_FORMAT_WAV | encoding, 0, 0};
    SNDFILE* file = sf_open(QFile::encodeName(name).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    const auto sounding = std::lround(seconds * rate), total = sounding + std::lround(paddingSeconds * rate);
    std::vector<float> block;
    bool ok = true;
    for (long at = 0; at < total && ok; at += long(block.size())) {
        block.assign(std::min(65536L, total - at), 0.0f);
        for (long i = 0; i < long(block.size()) && at + i < sounding; ++i)
            block[std::size_t(i)] = float(0.5 * std::sin(2 * M_PI * hz * double(at + i) / rate));
        ok = sf_writef_float(file, block.data(), sf_count_t(block.size())) == sf_count_t(block.size());
    }
    return sf_close(file) == 0 && ok;
}

// CD-like silence in a wave file of `bytes` bytes, left as a hole so that it takes neither disk
// space nor time to write.
bool writeSilence(const QString& name, quint32 bytes)
{
    QByteArray header;
    QDataStream out(&header, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << bytes - 8;
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(2) << quint32(44100) << quint32(44100 * 4) << quint16(4) << quint16(16);
    out.writeRawData("data", 4);
    out << bytes - 44;
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(header) == 44 && file.resize(bytes);
}

void runEventLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Google Benchmark's statistics cannot leave a repetition out, so every figure is also kept
// here, and the summary takes its medians over the calls that did what they were timed for.
std::map<std::string, std::vector<double>> figures;
std::map<std::string, int> missed;

void record(benchmark::State& state, const std::string& name, double seconds)
{
    if (seconds < 0) {
        ++missed[name];
        seconds = 1.0;
    } else {
        figures[name].push_back(seconds);
    }
    state.SetIterationTime(seconds);
}

std::optional<double> median(const std::string& name)
{
    std::vector<double> v = figures[name];
    if (v.empty())
        return std::nullopt;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// From a call that starts a sound to its first sample in the server's output, in seconds;
// negative when nothing arrived within a second.
template <typename Start>
double soundLatency(Start&& start)
{
    for (int i = 0; i < 100 && !pipeServer->quiet(); ++i)
        runEventLoop(20);
    const auto called = Clock::now();
    start();
    std::optional<Clock::time_point> heard;
    for (int i = 0; i < 100 && !(heard = pipeServer->firstSoundAfter(called)); ++i)
        runEventLoop(10);
    runEventLoop(250); // the click and its tail play out
    return heard ? std::chrono::duration<double>(*heard - called).count() : -1;
}

// What a press costs the GUI thread in play() once the file has been played before, as every
// move after the first plays it; the last sound is still going when the next call comes.
void BM_PlayCall(benchmark::State& state, const QString* file, const std::string& name)
{
    player->play(*file);
    runEventLoop(100);
    for (auto _ : state) {
        const auto start = Clock::now();
        player->play(*file);
        record(state, name, std::chrono::duration<double>(Clock::now() - start).count());
        runEventLoop(40);
    }
    player->play({});
}

// The first press after the move sound's file has changed into a huge one, of which 64 MiB of
// samples are kept. Each press finds the decode before it over.
void BM_PlayChangedFile(benchmark::State& state)
{
    const QByteArray path = QFile::encodeName(hugeFile);
    const timespec touched[2] = {{0, UTIME_OMIT}, {0, UTIME_NOW}};
    for (auto _ : state) {
        ::utimensat(AT_FDCWD, path.constData(), touched, 0);
        const auto start = Clock::now();
        player->play(hugeFile);
        record(state, "call changed 1 GiB", std::chrono::duration<double>(Clock::now() - start).count());
        runEventLoop(1000);
    }
    player->play({});
}

void BM_PlayFirstSample(benchmark::State& state)
{
    for (auto _ : state)
        record(state, "play", soundLatency([] { player->play(clickFile); }));
}

// The floor. Its click is padded: the server starts a stream only once its buffer is full, and
// the effect sends no silence of its own, so most bare clicks would never be heard at all.
void BM_SoundEffectFirstSample(benchmark::State& state)
{
    static QSoundEffect* effect = nullptr;
    if (!effect) {
        effect = new QSoundEffect(qApp);
        effect->setSource(QUrl::fromLocalFile(paddedClickFile));
        for (int i = 0; i < 100 && effect->status() != QSoundEffect::Ready; ++i)
            runEventLoop(10);
    }
    for (auto _ : state) {
        record(state, "QSoundEffect", soundLatency([] {
                   effect->stop();
                   effect->play();
               }));
    }
}

void printSummary(double firstPlay)
{
    std::printf("\nSummary (medians)\n");
    const auto line = [](const char* label, const std::string& name, double target, const char* floorName) {
        const auto value = median(name);
        if (!value) {
            std::printf("  %-40s not measured\n", label);
            return;
        }
        std::printf("  %-40s %8.3f ms  target <= %-4g %-4s", label, *value * 1e3, target,
                    *value * 1e3 <= target ? "PASS" : "over");
        if (const auto floor = floorName ? median(floorName) : std::nullopt)
            std::printf("  %s %.1f ms, ratio %.2f", floorName, *floor * 1e3, *value / *floor);
        std::printf("  (%zu calls)\n", figures[name].size());
    };
    line("play() of a 120 ms click, played before", "call click", 2, nullptr);
    line("play() of a 32 MiB file, played before", "call 32 MiB", 2, nullptr);
    line("play() of a changed 1 GiB file, first press", "call changed 1 GiB", 2, nullptr);
    // Every press must keep to the target, not only the median one.
    if (const auto& v = figures["call changed 1 GiB"]; !v.empty())
        std::printf("    %-40s %8.3f ms\n", "the slowest of them", *std::max_element(v.begin(), v.end()) * 1e3);
    line("play() -> first sample at the server", "play", 25, "QSoundEffect");
    // The server's output can hold a block of silence already written when a sound starts; the
    // figures then fall into two groups, which the list shows.
    for (const char* name : {"play", "QSoundEffect"}) {
        std::vector<double> v = figures[name];
        std::sort(v.begin(), v.end());
        std::printf("    %-12s each, ms:", name);
        for (const double t : v)
            std::printf(" %.1f", t * 1e3);
        std::printf("\n");
    }
    if (firstPlay >= 0)
        std::printf("  %-40s %8.1f ms (one call: opens the device)\n", "the run's first play -> first sample",
                    firstPlay * 1e3);
    for (const auto& [name, count] : missed)
        std::printf("  %s: %d of %d sounds never arrived; the median is of the rest\n", name.c_str(), count,
                    count + static_cast<int>(figures[name].size()));
}

} // namespace

int main(int argc, char* argv[])
{
    benchmark::Initialize(&argc, argv);
    // The server comes first: Qt Multimedia reads PULSE_SERVER once, on its first use.
    PipeServer server;
    QString why;
    if (!server.start(&why)) {
        std::printf("sound benchmarks skipped: %s\n", qPrintable(why));
        return 0;
    }
    pipeServer = &server;
    QCoreApplication app(argc, argv);
    QTemporaryDir sounds;
    clickFile = sounds.path() + "/click.wav";
    paddedClickFile = sounds.path() + "/padded.wav";
    bigFile = sounds.path() + "/big.wav";
    hugeFile = sounds.path() + "/huge.wav";
    // The big one as 8-bit samples at 1 kHz, which grow most when decoded.
    if (!writeTone(clickFile, 0.12, 44100, 1000, SF_FORMAT_PCM_16) ||
        !writeTone(paddedClickFile, 0.12, 44100, 1000, SF_FORMAT_PCM_16, 0.4) ||
        !writeTone(bigFile, 32 * 1024 * 1024 / 1000.0, 1000, 250, SF_FORMAT_PCM_U8) ||
        !writeSilence(hugeFile, 1u << 30)) {
        std::printf("sound benchmarks skipped: cannot write the test sounds\n");
        return 0;
    }
    vellumi::SoundPlayer soundPlayer;
    player = &soundPlayer;
    // Before anything else opens the device, as the first move of a game would.
    const double firstPlay = soundLatency([] { player->play(clickFile); });

    benchmark::RegisterBenchmark("BM_PlayCall/click", BM_PlayCall, &clickFile, "call click")
        ->Unit(benchmark::kMicrosecond)
        ->UseManualTime()
        ->Iterations(40)
        ->Repetitions(5);
    benchmark::RegisterBenchmark("BM_PlayCall/32MiB", BM_PlayCall, &bigFile, "call 32 MiB")
        ->Unit(benchmark::kMicrosecond)
        ->UseManualTime()
        ->Iterations(40)
        ->Repetitions(5);
    benchmark::RegisterBenchmark("BM_PlayChangedFile/1GiB", BM_PlayChangedFile)
        ->Unit(benchmark::kMicrosecond)
        ->UseManualTime()
        ->Iterations(10)
        ->Repetitions(3);
    benchmark::RegisterBenchmark("BM_PlayFirstSample", BM_PlayFirstSample)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(31);
    benchmark::RegisterBenchmark("BM_SoundEffectFirstSample", BM_SoundEffectFirstSample)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(31);
    benchmark::RunSpecifiedBenchmarks();
    printSummary(firstPlay);
    benchmark::Shutdown();
    return 0;
}
