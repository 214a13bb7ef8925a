#include "play/HintPlayer.h"

#include <QTimer>

namespace vellumi {

HintPlayer::HintPlayer(const GameSession& session, QObject* parent)
    : QObject(parent)
    , session(session)
{
    connect(&search, &HintSearch::found, this, &HintPlayer::onFound);
}

void HintPlayer::hint()
{
    if (session.isRunning())
        search.ask(session.state());
}

void HintPlayer::playToTheEnd()
{
    if (!session.isRunning())
        return;
    playing = true;
    search.ask(session.state());
}

void HintPlayer::stopPlaying()
{
    if (!playing)
        return;
    playing = false;
    search.cancel();
}

void HintPlayer::onFound(const BoardArray& board, int cell)
{
    if (!session.isRunning() || board != session.state().board)
        return;
    emit press(cell);
    // The next move 150 ms on, unless the player has stopped it by then. Stopped and started
    // again meanwhile, it asks twice for the one board, and only one answer is played.
    if (playing && session.isRunning())
        QTimer::singleShot(150, Qt::PreciseTimer, this, [this] {
            if (playing)
                search.ask(session.state());
        });
}

} // namespace vellumi
