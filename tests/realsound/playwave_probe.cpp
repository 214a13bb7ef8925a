// Drives the real PlayWave from a script of steps given as arguments, so the sound test can
// record what a sound server actually receives:
//   play FILE       call PlayWave(FILE) and go straight on
//   wait MS         run the event loop for MS milliseconds (the sound plays meanwhile)
//   copy FROM TO    replace TO with a copy of FROM
//   remove FILE     delete FILE
// Each call's start on the monotonic clock and its duration are printed, to line calls up with
// what the server played.
#include "sound/modSound.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace {

struct Step {
    QString verb;
    QStringList args;
};

QList<Step> script;
qsizetype next = 0;

bool parse(const QStringList& words)
{
    const QMap<QString, int> arity{{"play", 1}, {"wait", 1}, {"copy", 2}, {"remove", 1}};
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
            vellumi::modSound::PlayWave(step.args[0]);
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
        }
    }
    std::fflush(stdout);
    QCoreApplication::quit();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (!parse(app.arguments().mid(1))) {
        std::fprintf(stderr, "usage: playwave_probe [play FILE | wait MS | copy FROM TO | remove FILE]...\n");
        return 2;
    }
    QTimer::singleShot(0, runSteps);
    return app.exec();
}
