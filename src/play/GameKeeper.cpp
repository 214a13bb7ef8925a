#include "play/GameKeeper.h"

#include "files/Fingerprint.h"

#include <QFile>
#include <QFileInfo>

namespace vellumi {

GameKeeper::GameKeeper(const GameSession& session, const QString& stateFolder, const QString& recordsPath,
                       QObject* parent)
    : QObject(parent)
    , session(session)
    , kept(stateFolder)
    , recordsFile(recordsPath)
    , ticker(new QTimer(this))
{
    ticker->setInterval(1000);
    connect(ticker, &QTimer::timeout, this, [this] {
        if (this->session.isClockRunning())
            changed();
    });
}

std::optional<KeptGame> GameKeeper::takeKept()
{
    std::optional<KeptGame> game = kept.take();
    if (game) {
        const QString file = QFile::decodeName(game->picture.c_str());
        GameSession trial;
        if (!trial.resume(*game)) {
            kept.drop(QStringLiteral("保存的未完成游戏无法继续（步骤与棋盘不符），已放弃"));
            game.reset();
        } else if (fingerprintOf(file) != game->content) {
            kept.drop(QStringLiteral("保存的未完成游戏的图片已不在或已改变，游戏已放弃：%1").arg(file));
            game.reset();
        }
    }
    tell();
    return game;
}

void GameKeeper::started(const QString& file, const std::string& known)
{
    picture = file;
    fingerprint = known;
    ticker->start();
    if (!known.empty())
        return;
    fingerprinting.run([this, file](std::stop_token stop) -> std::function<void()> {
        std::string found = fingerprintOf(file, stop);
        return [this, found = std::move(found)] {
            fingerprint = found;
            // What changed while the fingerprint was taken is kept now.
            if (session.isRunning())
                changed();
        };
    });
}

void GameKeeper::changed()
{
    if (!session.isRunning() || fingerprint.empty())
        return;
    KeptGame game = session.keep();
    game.picture = QFile::encodeName(picture).toStdString();
    game.content = fingerprint;
    kept.keep(game);
}

NewBest GameKeeper::finished()
{
    ticker->stop();
    kept.forget();
    takeFingerprintNow();
    if (fingerprint.empty())
        return {};
    const NewBest best =
        recordsFile.add({fingerprint, session.state().gridSize}, QFileInfo(picture).fileName().toStdString(),
                        session.moves(), session.playTime().count(), session.isHelped());
    tell();
    return best;
}

void GameKeeper::left()
{
    ticker->stop();
    kept.forget();
}

void GameKeeper::close()
{
    // Closed in the middle of bringing a kept game back: no crash, so it is tried again.
    kept.restored();
    if (session.isRunning())
        takeFingerprintNow();
    changed();
    kept.flush();
}

// A game that ends before its fingerprint has come, closed or finished at once, must not be lost:
// it is taken here.
void GameKeeper::takeFingerprintNow()
{
    if (!fingerprint.empty() || picture.isEmpty())
        return;
    fingerprinting.cancel();
    fingerprint = fingerprintOf(picture);
}

Records GameKeeper::records()
{
    Records records = recordsFile.read();
    tell();
    return records;
}

Records::Key GameKeeper::keyOf(const QString& file, int gridSize) const
{
    return {file == picture && !fingerprint.empty() ? fingerprint : fingerprintOf(file), gridSize};
}

void GameKeeper::tell()
{
    QStringList told = kept.takeProblems() + recordsFile.takeProblems();
    if (!told.isEmpty())
        emit problems(told);
}

} // namespace vellumi
