#include "ui/ProgressLabel.h"

#include "game/GameSession.h"

#include <QEvent>
#include <QTimer>

namespace vellumi {

ProgressLabel::ProgressLabel(const GameSession& session, QWidget* menuBar)
    : QLabel(menuBar->parentWidget())
    , session(session)
    , menuBar(menuBar)
    , ticker(new QTimer(this))
{
    setObjectName(QStringLiteral("progress"));
    setContentsMargins(8, 0, 8, 0);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fitLongestText();
    menuBar->installEventFilter(this);
    ticker->setInterval(1000);
    connect(ticker, &QTimer::timeout, this, [this] {
        if (this->session.isRunning())
            setText(runningText());
    });
    refresh();
}

bool ProgressLabel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize || event->type() == QEvent::Move)
        place();
    return QLabel::eventFilter(watched, event);
}

// Room for the longest text, so that the menu bar's end is all it ever covers.
void ProgressLabel::fitLongestText()
{
    setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("完成！99999 步  99:59:59  用了提示，不计纪录")) + 16);
}

// The window's zoom changes the font. The new place follows once the menu bar, whose font
// changes with it, is laid out anew.
void ProgressLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitLongestText();
}

void ProgressLabel::place()
{
    const QRect bar = menuBar->geometry();
    setGeometry(bar.right() + 1 - width(), bar.top(), width(), bar.height());
    raise();
}

QString ProgressLabel::timeText(std::int64_t milliseconds)
{
    const std::int64_t s = milliseconds / 1000;
    const QString minutes =
        QStringLiteral("%1:%2").arg(s / 60 % 60, s < 3600 ? 1 : 2, 10, QChar(u'0')).arg(s % 60, 2, 10, QChar(u'0'));
    return s < 3600 ? minutes : QStringLiteral("%1:%2").arg(s / 3600).arg(minutes);
}

QString ProgressLabel::runningText() const
{
    return QStringLiteral("%1 步  %2").arg(session.moves()).arg(timeText(session.playTime().count()));
}

void ProgressLabel::refresh()
{
    // Named by what it says, so that the redraw each second is not announced as a new name.
    const QString text = session.isRunning() ? runningText() : QString();
    setAccessibleName(text.isEmpty() ? QStringLiteral("没有进行中的游戏") : text);
    setText(text);
    if (session.isRunning() && isVisible())
        ticker->start();
    else
        ticker->stop();
}

void ProgressLabel::showFinished(NewBest best)
{
    ticker->stop();
    const QString news = best.moves && best.time ? QStringLiteral("  新纪录：步数和时间")
                         : best.moves            ? QStringLiteral("  新纪录：步数")
                         : best.time             ? QStringLiteral("  新纪录：时间")
                         : session.isHelped()    ? QStringLiteral("  用了提示，不计纪录")
                                                 : QString();
    const QString text =
        QStringLiteral("完成！%1 步  %2").arg(session.moves()).arg(timeText(session.playTime().count())) + news;
    setAccessibleName(text);
    setText(text);
}

} // namespace vellumi
