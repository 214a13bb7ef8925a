// Drives the real SoundPlayer from a script of steps given as arguments, so the sound test can
// record what a sound server actually receives:
//   play FILE       call play(FILE) and go straight on
//   wait MS         run the event loop for MS milliseconds (the sound plays meanwhile)
//   run COMMAND     run COMMAND with bash, the event loop going on meanwhile (the probe is its
//                   $PPID); the probe fails at the end if it fails
// Each play's start on the monotonic clock and its duration are printed, to line calls up with
// what the server played; so is how long the player took to go at the end, as the program's
// end may come in the middle of a decode.
#include "sound/SoundPlayer.h"

#include <QCoreApplication>
#include <QMap>
#include <QProcess>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <memory>

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
    const QMap<QString, int> arity{{"play", 1}, {"wait", 1}, {"run", 1}};
    for (qsizetype i = 0; i < words.size();) {
        const int count = arity.value(words[i], -1);
        if (count < 0 || i + count >= words.size())
            return false;
        script.append({words[i], words.mid(i + 1, count)});
        i += 1 + count;
    }
    return true;
}

void runSteps()
{
    while (next < script.size()) {
        const Step& step = script[next++];
        if (step.verb == QLatin1String("play")) {
            const auto start = std::chrono::steady_clock::now();
            player->play(step.args[0]);
            const auto end = std::chrono::steady_clock::now();
            std::printf("play at %lld ns returned after %lld us\n",
                        static_cast<long long>(start.time_since_epoch() / std::chrono::nanoseconds(1)),
                        static_cast<long long>((end - start) / std::chrono::microseconds(1)));
        } else if (step.verb == QLatin1String("wait")) {
            QTimer::singleShot(step.args[0].toInt(), Qt::PreciseTimer, runSteps);
            return;
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
        std::fprintf(stderr, "usage: playwave_probe [play FILE | wait MS | run COMMAND]...\n");
        return 2;
    }
    auto soundPlayer = std::make_unique<vellumi::SoundPlayer>();
    player = soundPlayer.get();
    QTimer::singleShot(0, runSteps);
    const int status = app.exec();
    const auto start = std::chrono::steady_clock::now();
    soundPlayer.reset();
    std::printf("player gone after %lld us\n",
                static_cast<long long>((std::chrono::steady_clock::now() - start) / std::chrono::microseconds(1)));
    return status;
}
