#include "ui/Fades.h"

#include "effects/PatternFade.h"
#include "ui/InputHold.h"
#include "ui/PictureBox.h"

#include <QTimer>

namespace vellumi {

Fades::Fades(QWidget& window, PictureBox& source, PictureBox& work, PictureBox& display)
    : QObject(&window)
    , window(window)
    , source(source)
    , work(work)
    , display(display)
    , openingTimer(new QTimer(&window))
{
    openingTimer->setObjectName(QStringLiteral("Timer1"));
    openingTimer->setInterval(1000);
    openingTimer->setTimerType(Qt::PreciseTimer);
}

Fades::~Fades() = default;

bool Fades::isRunning() const
{
    return fade && fade->isRunning();
}

void Fades::setPixelSize(int pixels)
{
    pixelSize = pixels;
    if (fade)
        fade->setPixelSize(pixels);
}

// The fade lasts longer than the timer's interval, so a tick can arrive while it runs; the
// opening fade runs once only, and its fade object is never replaced. The work box's pixels
// matter only while a fade runs, and are let go after each.
void Fades::startOpening(std::function<void()> opened)
{
    connect(openingTimer, &QTimer::timeout, this, [this, opened = std::move(opened)] {
        if (fade)
            return;
        fade = std::make_unique<PatternFade>(source, work, display);
        fade->setPixelSize(pixelSize);
        fade->fadeIn(stepTime, [this, opened] {
            work.forgetDrawing();
            openingTimer->stop();
            opened();
        });
    });
    openingTimer->start();
}

void Fades::fadeOutThen(std::function<void()> rest)
{
    inputHold = std::make_unique<InputHold>(window);
    fade->fadeOut(stepTime, [this, rest = std::move(rest)] {
        work.forgetDrawing();
        rest();
        inputHold.reset();
    });
}

} // namespace vellumi
