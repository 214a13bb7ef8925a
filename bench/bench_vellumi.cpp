// The in-process figures, each next to its target and, where there is one, the floor it is
// measured against in the same run. Run by hand:
//
//   ./build/bench/bench_vellumi                       # every figure, then the summary table
//   ./build/bench/bench_vellumi --benchmark_filter=Fade
//
// Google Benchmark runs each figure several times (repetitions) and keeps the median; the
// summary at the end prints those medians with the targets. Widgets run on the offscreen
// platform unless QT_QPA_PLATFORM says otherwise. The sound figures start a private PulseAudio
// server whose only output is a pipe this program reads; where none can be started they are
// reported as skipped.
#include "DataFolder.h"

#include "effects/PatternFade.h"
#include "game/Scramble.h"
#include "sound/modSound.h"
#include "ui/Appearance.h"
#include "ui/DesignSurface.h"
#include "ui/ImageControl.h"
#include "ui/PictureBox.h"
#include "ui/frmmain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QProcess>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

namespace vellumi {

// An image standing in for a picture box, so that the fade's drawing is timed without widgets.
class ImageSurface : public PictureSurface {
public:
    explicit ImageSurface(QSize outer) { setOuterSize(outer); }
    QSize outerSize() const override { return m_outer; }
    void setOuterSize(QSize size) override
    {
        m_outer = size;
        m_image = QImage(size - QSize(4, 4), QImage::Format_RGB32);
        m_image.fill(qRgb(90, 140, 200));
    }
    void setAutoRedraw(bool) override {}
    QImage& surface() override { return m_image; }
    void surfaceChanged() override {}

private:
    QSize m_outer;
    QImage m_image;
};

// The fade at the size of the main window's display: 484 × 364, interior 480 × 360.
class FadeBenchmark {
public:
    FadeBenchmark()
    {
        fade.pic1(&pic1);
        fade.pic2(&pic2);
        fade.pic3(&pic3);
        fade.Setup();
        fade.BuildBrushes();
    }
    // Step 9 is the checkerboard: no step has more pattern to draw.
    void step()
    {
        fade.brush[9]->BuildBitmap();
        fade.drawStep(9);
    }
    void bareCopy()
    {
        QImage& to = pic3.surface();
        const QImage& from = pic1.surface();
        std::memcpy(to.bits(), from.constBits(), static_cast<std::size_t>(from.sizeInBytes()));
    }

private:
    ImageSurface pic1{{484, 364}}, pic2{{100, 100}}, pic3{{484, 364}};
    PatternFade fade;
};

// A real main window, past its opening fade and into a 6 × 6 game, on a data folder of its own.
// Given a move sound, every press plays it through the real PlayWave; without, it is silent.
class TilePressBenchmark : public QObject {
public:
    explicit TilePressBenchmark(const QString& moveSound = {})
    {
        testdata::makeDataFolder(dir.path(), "3", 3);
        window = std::make_unique<frmmain>(dir.path());
        window->Form_Load();
        if (moveSound.isEmpty())
            window->playWave = [](const QString&) {};
        else
            QFile::copy(moveSound, dir.path() + QStringLiteral("/move.wav"));
        window->fadeStepTime = 0;
        window->show();
        window->Timer1_Timer();
        window->game.gridSize = 6;
        window->E_game_Click();
        settle();
    }

    // Presses a tile next to the blank and waits until the tile that arrived in the blank and
    // the surface where the tile left have both painted. Returns the time that took.
    double pressSeconds()
    {
        frmmain& w = *window;
        const int n = w.game.gridSize;
        const int blank = w.game.blankPos;
        const int cell = blank % n > 0 ? blank - 1 : blank + 1;
        arrived = w.picbox[blank];
        left = w.picbox[cell]->geometry();
        surface = w.surface;
        arrivedPainted = leftPainted = false;
        arrived->installEventFilter(this);
        surface->installEventFilter(this);

        const auto start = Clock::now();
        QTest::mousePress(w.picbox[cell], Qt::LeftButton, {}, QPoint(2, 2));
        for (int spins = 0; !(arrivedPainted && leftPainted) && spins < 100000; ++spins)
            QCoreApplication::processEvents();
        const std::chrono::duration<double> took = Clock::now() - start;

        arrived->removeEventFilter(this);
        surface->removeEventFilter(this);
        QTest::mouseRelease(w.picbox[blank], Qt::LeftButton, {}, QPoint(2, 2));
        settle();
        if (!(arrivedPainted && leftPainted))
            return -1;
        return took.count();
    }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            if (receiver == arrived)
                arrivedPainted = true;
            else if (receiver == surface && static_cast<QPaintEvent*>(event)->region().intersects(left))
                leftPainted = true;
        }
        return false;
    }

private:
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    std::unique_ptr<frmmain> window;
    QObject* arrived = nullptr;
    QObject* surface = nullptr;
    QRect left;
    bool arrivedPainted = false;
    bool leftPainted = false;
};

} // namespace vellumi

namespace {

// ---------------------------------------------------------------------------------------------
// A private sound server whose output is a pipe that a thread here reads as it is written, so
// that the moment a sound's first sample reaches the server's output can be taken.

class PipeServer {
public:
    bool start(QString* why)
    {
        if (!work.isValid()) {
            *why = QStringLiteral("no temporary folder");
            return false;
        }
        const QString root = work.path();
        QDir().mkpath(root + "/run");
        QDir().mkpath(root + "/home");
        QFile::setPermissions(root + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        fifo = root + "/sink.fifo";
        const QString socket = root + "/run/pulse/native";
        if (::mkfifo(QFile::encodeName(fifo).constData(), 0600) != 0) {
            *why = QStringLiteral("cannot make a pipe");
            return false;
        }
        // Opened before the server, without waiting for it; the server's open then succeeds.
        fd = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
        if (fd < 0) {
            *why = QStringLiteral("cannot open the pipe");
            return false;
        }

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", root + "/run");
        env.insert("HOME", root + "/home");
        for (const char* name : {"PULSE_SERVER", "PULSE_SINK", "DBUS_SESSION_BUS_ADDRESS", "DISPLAY"})
            env.remove(name);
        server.setProcessEnvironment(env);
        server.setProgram("pulseaudio");
        server.setArguments({"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--realtime=no",
                             "--high-priority=no", "--log-target=stderr",
                             "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket,
                             "--load=module-pipe-sink sink_name=bench_pipe file=" + fifo +
                                 " format=s16le rate=44100 channels=1 use_system_clock_for_timing=yes"});
        server.setStandardOutputFile(QProcess::nullDevice());
        server.setStandardErrorFile(root + "/server.log");
        // Should this program crash or be killed, the server goes with it.
        server.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        server.start();
        if (!server.waitForStarted(3000)) {
            *why = QStringLiteral("pulseaudio cannot be started");
            return false;
        }
        QElapsedTimer waited;
        waited.start();
        while (!QFileInfo::exists(socket)) {
            if (server.state() != QProcess::Running || waited.elapsed() > 10000) {
                *why = QStringLiteral("the server did not come up (see its log)");
                return false;
            }
            QThread::msleep(20);
        }
        QThread::msleep(200);
        qputenv("PULSE_SERVER", ("unix:" + socket).toLocal8Bit());
        reader = std::thread([this] { read(); });
        return true;
    }

    ~PipeServer()
    {
        stopping = true;
        if (server.state() != QProcess::NotRunning) {
            server.terminate();
            server.waitForFinished(5000);
        }
        if (reader.joinable())
            reader.join();
        if (fd >= 0)
            ::close(fd);
    }

    // The time the first sound after `since` reached the pipe, once it has.
    std::optional<Clock::time_point> firstSoundAfter(Clock::time_point since)
    {
        const std::lock_guard lock(mutex);
        for (const Clock::time_point t : sounds)
            if (t >= since)
                return t;
        return std::nullopt;
    }

    // True when the last 200 ms of output were silence: the previous sound is over.
    bool quiet()
    {
        const std::lock_guard lock(mutex);
        return Clock::now() - lastSound > std::chrono::milliseconds(200);
    }

private:
    void read()
    {
        std::int16_t buffer[4096];
        bool sounding = false;
        while (!stopping) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            const auto now = Clock::now();
            if (got <= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            bool loud = false;
            for (ssize_t i = 0; i < got / 2 && !loud; ++i)
                loud = buffer[i] != 0;
            const std::lock_guard lock(mutex);
            if (loud) {
                // Only the onset of a sound counts, not every block of it.
                if (!sounding)
                    sounds.push_back(now);
                lastSound = now;
            }
            sounding = loud || now - lastSound < std::chrono::milliseconds(50);
        }
    }

    QTemporaryDir work{QStringLiteral("/tmp/vellumi-bench.XXXXXX")};
    QString fifo;
    int fd = -1;
    QProcess server;
    std::thread reader;
    std::atomic<bool> stopping{false};
    std::mutex mutex;
    std::vector<Clock::time_point> sounds;
    Clock::time_point lastSound{};
};

PipeServer* pipeServer = nullptr;
QString soundSkipped;
QString clickFile;
QString paddedClickFile;

// A 120 ms 1 kHz click at 44.1 kHz, 16-bit mono: the move sound's own format. The padding is
// silence after it.
bool writeClick(const QString& name, int paddingMs = 0)
{
    const int rate = 44100, samples = rate * 120 / 1000;
    QByteArray pcm(2 * (samples + rate * paddingMs / 1000), '\0');
    for (int i = 0; i < samples; ++i) {
        const auto v = static_cast<std::int16_t>(std::lround(16000 * std::sin(2 * M_PI * 1000 * i / rate)));
        std::memcpy(pcm.data() + 2 * i, &v, 2);
    }
    QByteArray wav("RIFF");
    const auto le32 = [&](quint32 v) { wav.append(reinterpret_cast<const char*>(&v), 4); };
    const auto le16 = [&](quint16 v) { wav.append(reinterpret_cast<const char*>(&v), 2); };
    le32(36 + pcm.size());
    wav.append("WAVEfmt ");
    le32(16), le16(1), le16(1), le32(rate), le32(rate * 2), le16(2), le16(16);
    wav.append("data");
    le32(pcm.size());
    wav.append(pcm);
    return testdata::writeFile(name, wav);
}

void runEventLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
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

// ---------------------------------------------------------------------------------------------

void BM_BareCopy(benchmark::State& state)
{
    vellumi::FadeBenchmark bench;
    for (auto _ : state)
        bench.bareCopy();
}
BENCHMARK(BM_BareCopy)->Unit(benchmark::kMicrosecond)->MinTime(0.2);

void BM_FadeStep(benchmark::State& state)
{
    vellumi::FadeBenchmark bench;
    for (auto _ : state)
        bench.step();
}
BENCHMARK(BM_FadeStep)->Unit(benchmark::kMicrosecond)->MinTime(0.2);

// FadeIn(100) on shown picture boxes, the event loop running and painting between steps.
void BM_WholeFade100(benchmark::State& state)
{
    QWidget host;
    host.resize(500, 400);
    vellumi::PictureBox pic1(&host), pic2(&host), pic3(&host);
    pic1.hide();
    pic2.hide();
    pic3.resize(484, 364);
    pic1.setPicture(testdata::picture(1));
    host.show();
    vellumi::PatternFade fade;
    fade.pic1(&pic1);
    fade.pic2(&pic2);
    fade.pic3(&pic3);
    fade.Setup();
    for (auto _ : state) {
        const auto start = Clock::now();
        fade.FadeIn(100);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}
BENCHMARK(BM_WholeFade100)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

void BM_TilePress(benchmark::State& state)
{
    vellumi::TilePressBenchmark bench;
    for (auto _ : state) {
        const double took = bench.pressSeconds();
        if (took < 0)
            qFatal("a tile never painted after a press");
        state.SetIterationTime(took);
    }
}
BENCHMARK(BM_TilePress)->Unit(benchmark::kMicrosecond)->UseManualTime()->Iterations(200);

void BM_ScrambleBoard6x6(benchmark::State& state)
{
    vellumi::GameState game;
    game.gridSize = 6;
    std::uint32_t x = 2463534242u; // xorshift32: a generator that costs next to nothing
    const vellumi::Rnd rnd = [&x] {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return static_cast<float>(x >> 8) * (1.0f / 16777216.0f);
    };
    for (auto _ : state) {
        benchmark::DoNotOptimize(vellumi::scrambleBoard(game, rnd));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ScrambleBoard6x6)->Unit(benchmark::kMicrosecond)->MinTime(0.2);

// Google Benchmark's statistics cannot leave a repetition out, so a sound that never arrives
// counts there as a second; the summary takes its medians over the sounds that did arrive, and
// says how many did not.
std::map<std::string, std::vector<double>> heardAfter;
std::map<std::string, int> missed;
std::optional<double> firstPlayWave;

void recordSound(benchmark::State& state, const char* name, double took)
{
    if (took < 0) {
        ++missed[name];
        took = 1.0;
    } else {
        heardAfter[name].push_back(took);
    }
    state.SetIterationTime(took);
}

std::optional<double> medianHeard(const char* name)
{
    std::vector<double> v = heardAfter[name];
    if (v.empty())
        return std::nullopt;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// The move sound as a game plays it, once the first call of the run has opened the device.
void BM_PlayWaveFirstSample(benchmark::State& state)
{
    const auto play = [] { vellumi::modSound::PlayWave(clickFile); };
    for (auto _ : state)
        recordSound(state, "PlayWave", soundLatency(play));
}

// The floor: Qt's own sound effect, its file already loaded, played the same way. Its click is
// padded: the server starts a stream only once its buffer is full, and the effect sends no
// silence of its own, so most bare clicks would never be heard at all.
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
        recordSound(state, "QSoundEffect", soundLatency([] {
            effect->stop();
            effect->play();
        }));
    }
}

// The same press with the move sound played for real, as in a game on a machine with sound.
void BM_TilePressWithSound(benchmark::State& state)
{
    vellumi::TilePressBenchmark bench(clickFile);
    for (auto _ : state) {
        const double took = bench.pressSeconds();
        if (took < 0)
            qFatal("a tile never painted after a press");
        state.SetIterationTime(took);
    }
}

void registerSoundBenchmarks()
{
    benchmark::RegisterBenchmark("BM_TilePressWithSound", BM_TilePressWithSound)
        ->Unit(benchmark::kMicrosecond)->UseManualTime()->Iterations(50);
    benchmark::RegisterBenchmark("BM_PlayWaveFirstSample", BM_PlayWaveFirstSample)
        ->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(15);
    benchmark::RegisterBenchmark("BM_SoundEffectFirstSample", BM_SoundEffectFirstSample)
        ->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(15);
}

// ---------------------------------------------------------------------------------------------
// The summary: each figure's median against its target.

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    SummaryReporter()
        : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular)
    {
    }
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" && !run.error_occurred)
                medians[run.run_name.function_name] = run.GetAdjustedRealTime() /
                    benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (run.error_occurred)
                errors[run.run_name.function_name] = run.error_message;
        }
    }
    std::map<std::string, double> medians; // seconds
    std::map<std::string, std::string> errors;
};

void printSummary(const SummaryReporter& r)
{
    const auto get = [&](const char* name) -> std::optional<double> {
        const auto it = r.medians.find(name);
        return it == r.medians.end() ? std::nullopt : std::optional<double>(it->second);
    };
    const auto why = [&](const char* name) {
        const auto it = r.errors.find(name);
        return it == r.errors.end() ? std::string("not run") : it->second;
    };
    std::printf("\nSummary (medians)\n");
    const auto line = [&](const char* label, const char* name, double scale, const char* unit, double target,
                          const char* baseName, const char* baseLabel) {
        const auto value = get(name);
        if (!value) {
            std::printf("  %-38s %s\n", label, why(name).c_str());
            return;
        }
        std::printf("  %-38s %8.1f %-3s target <= %-5g %-4s", label, *value * scale, unit, target,
                    *value * scale <= target ? "PASS" : "over");
        if (const auto base = baseName ? get(baseName) : std::nullopt)
            std::printf("  %s %.1f %s, ratio %.2f", baseLabel, *base * scale, unit, *value / *base);
        std::printf("\n");
    };
    line("one fade step, 484 x 364", "BM_FadeStep", 1e6, "us", 60, "BM_BareCopy", "copy of the picture");
    if (const auto fade = get("BM_WholeFade100")) {
        const double deviation = (*fade - 2.0) / 2.0 * 100;
        std::printf("  %-38s %8.3f s   target 2.000 s +- 2 %% %-4s  deviation %+.2f %%\n", "whole fade, Time = 100",
                    *fade, std::abs(deviation) <= 2 ? "PASS" : "over", deviation);
    } else {
        std::printf("  %-38s %s\n", "whole fade, Time = 100", why("BM_WholeFade100").c_str());
    }
    line("tile press -> both tiles repainted", "BM_TilePress", 1e6, "us", 2000, nullptr, nullptr);
    if (pipeServer)
        line("  the same, move sound played for real", "BM_TilePressWithSound", 1e6, "us", 2000, nullptr, nullptr);
    line("ScrambleBoard 6 x 6 (1296 moves)", "BM_ScrambleBoard6x6", 1e6, "us", 50, nullptr, nullptr);
    if (!pipeServer) {
        std::printf("  %-38s skipped: %s\n", "PlayWave -> first sample at server", qPrintable(soundSkipped));
        return;
    }
    const auto played = medianHeard("PlayWave");
    const auto floor = medianHeard("QSoundEffect");
    if (played) {
        std::printf("  %-38s %8.1f ms  target <= 25    %-4s", "PlayWave -> first sample at server", *played * 1e3,
                    *played * 1e3 <= 25 ? "PASS" : "over");
        if (floor)
            std::printf("  QSoundEffect %.1f ms, ratio %.2f", *floor * 1e3, *played / *floor);
        std::printf("\n");
    } else {
        std::printf("  %-38s no sound arrived\n", "PlayWave -> first sample at server");
    }
    // The server's output can hold a block of silence already written when a sound starts; the
    // figures then fall into two groups, which the list shows.
    for (const char* name : {"PlayWave", "QSoundEffect"}) {
        std::vector<double> v = heardAfter[name];
        std::sort(v.begin(), v.end());
        std::printf("    %-12s each, ms:", name);
        for (const double t : v)
            std::printf(" %.1f", t * 1e3);
        std::printf("\n");
    }
    if (firstPlayWave && *firstPlayWave >= 0)
        std::printf("  %-38s %8.1f ms (one call: opens the device)\n", "  the run's first PlayWave", *firstPlayWave * 1e3);
    for (const auto& [name, count] : missed)
        std::printf("  %s: %d of %d sounds never arrived; medians are of the rest\n", name.c_str(), count,
                    count + static_cast<int>(heardAfter[name].size()));
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    // Medians over repetitions unless the command line asks otherwise.
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=9";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    args.insert(args.begin() + 1, {repetitions.data(), aggregates.data()});
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());

    // The server comes first: Qt Multimedia reads PULSE_SERVER once, on its first use.
    PipeServer server;
    QString why;
    if (server.start(&why))
        pipeServer = &server;
    else
        soundSkipped = why;

    // The offscreen platform says so each time the fixed-size main window lays itself out.
    static const QtMessageHandler forward = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (!message.contains(QLatin1String("propagateSizeHints")))
                forward(type, context, message);
        });

    QApplication app(argc, argv);
    vellumi::applyAppearance(app);
    QTemporaryDir sounds;
    clickFile = sounds.path() + "/click.wav";
    paddedClickFile = sounds.path() + "/padded.wav";
    if (pipeServer && !(writeClick(clickFile) && writeClick(paddedClickFile, 400))) {
        pipeServer = nullptr;
        soundSkipped = QStringLiteral("cannot write the click");
    }
    if (pipeServer) {
        // Before anything else opens the device, as the first move of a game would.
        firstPlayWave = soundLatency([] { vellumi::modSound::PlayWave(clickFile); });
        registerSoundBenchmarks();
    }

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printSummary(reporter);
    benchmark::Shutdown();
    return 0;
}
