#pragma once
// A private PulseAudio server whose only output is a pipe this program reads, so that the moment
// a sound's first sample reaches the server's output can be taken.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <chrono>
#include <cstring>
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

// A private sound server whose output is a pipe that a thread here reads as it is written.
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
                             // The sink writes the pipe 4096 bytes at a time: 5.3 ms of 96 kHz float
                             // stereo, which is how finely a sound's arrival can be timed.
                             "--load=module-pipe-sink sink_name=bench_pipe file=" + fifo +
                                 " format=float32le rate=96000 channels=2 use_system_clock_for_timing=yes"});
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
    std::optional<std::chrono::steady_clock::time_point> firstSoundAfter(std::chrono::steady_clock::time_point since)
    {
        const std::lock_guard lock(mutex);
        for (const std::chrono::steady_clock::time_point t : sounds)
            if (t >= since)
                return t;
        return std::nullopt;
    }

    // True when the last 200 ms of output were silence: the previous sound is over.
    bool quiet()
    {
        const std::lock_guard lock(mutex);
        return std::chrono::steady_clock::now() - lastSound > std::chrono::milliseconds(200);
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
            const auto now = std::chrono::steady_clock::now();
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
    std::vector<std::chrono::steady_clock::time_point> sounds;
    std::chrono::steady_clock::time_point lastSound{};
};
