#pragma once

#include "game/Records.h"

#include <QLabel>

class QTimer;

namespace vellumi {

class GameSession;

// The moves and the time of the game in hand, shown at the right end of the menu bar when the
// player asks for them: "23 步  1:42", and once the picture is whole, how the game went. The
// clock is redrawn once a second, but what a screen reader reads changes only with a move, a
// pause and the end, so it is not told of every second.
class ProgressLabel : public QLabel {
    Q_OBJECT
public:
    // Over the right end of `menuBar`, as a child of its window: a menu bar tells a screen
    // reader of its menus only, never of a corner widget.
    ProgressLabel(const GameSession& session, QWidget* menuBar);

    // After a move, an undo, a restart or the clock paused or resumed.
    void refresh();
    void showFinished(NewBest best);
    // m:ss, or h:mm:ss from an hour on.
    static QString timeText(std::int64_t milliseconds);

private:
    QString runningText() const;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void fitLongestText();
    void place();

    const GameSession& session;
    QWidget* menuBar;
    QTimer* ticker;
};

} // namespace vellumi
