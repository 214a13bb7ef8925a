#include "ui/MainForm.h"

#include "ui/Artwork.h"
#include "ui/BoardView.h"
#include "ui/DesignControls.h"
#include "ui/DevicePixels.h"
#include "ui/ImageControl.h"
#include "ui/PictureBox.h"
#include "ui/Twips.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>

#include <cmath>

namespace vellumi {

namespace {

// The display, in twips, and its place in design pixels.
constexpr QRect displayTwips(120, 180, 7260, 5460);
const QRect displayPixels =
    twips::rect(displayTwips.x(), displayTwips.y(), displayTwips.width(), displayTwips.height());
// The whole form, in design pixels.
const QSize formPixels = twips::size(7455, 6330);

} // namespace

MainForm::MainForm(QWidget* parent)
    : DesignSurface(parent)
    , work(new PictureBox(this))
    , source(new PictureBox(this))
    , display(new PictureBox(this))
{
    setObjectName(QStringLiteral("surface"));
    // The fade's source and work boxes lie below the client area in the design; hidden, they
    // can never show.
    work->setObjectName(QStringLiteral("Picture2"));
    source->setObjectName(QStringLiteral("Picture1"));
    display->setObjectName(QStringLiteral("Picture3"));
    work->hide();
    source->hide();
    display->setBackColor(systemColour(SystemColour::WindowText));

    difficultyButton =
        addButton("imgchage", artwork::difficultyButton(), {1200, 5880}, {1215, 5890}, QStringLiteral("改变难易度"),
                  QStringLiteral("↑ ↓"), [this] { cycleDifficulty(true); });
    difficultyLabel = design::label(this, "labchage", 120, 5880, design::difficultyCaption(3));
    pickLabel = design::label(this, "Label1", 6735, 5880, QStringLiteral("选择"));
    previousButton = addButton("imgprev", artwork::previousButton(), {6495, 5880}, {6485, 5890},
                               QStringLiteral("上一张"), QStringLiteral("←"), [this] { stepPicture(false); });
    nextButton = addButton("imgnext", artwork::nextButton(), {7140, 5880}, {7150, 5890}, QStringLiteral("下一张"),
                           QStringLiteral("→"), [this] { stepPicture(true); });
    board = new BoardView(this);
    // Picture boxes lie above image controls, so the display covers any tile while it shows.
    display->raise();
    relayout();
}

ImageControl* MainForm::addButton(const char* name, const QImage& art, QPoint rest, QPoint pressed,
                                  const QString& caption, const QString& keys, std::function<void()> action)
{
    auto* control = new ImageControl(this);
    control->setObjectName(QLatin1String(name));
    control->setToolTip(QStringLiteral("%1（%2）").arg(caption, keys));
    control->setAccessibleName(caption);
    const std::size_t index = buttons.size();
    buttons.push_back({control, art, twips::point(rest.x(), rest.y()), twips::point(pressed.x(), pressed.y())});
    connect(control, &ImageControl::mouseDown, this, [this, index, action = std::move(action)] {
        placeButton(buttons[index], true);
        action();
    });
    connect(control, &ImageControl::mouseUp, this, [this, index] { placeButton(buttons[index], false); });
    return control;
}

void MainForm::placeButton(const Button& button, bool down)
{
    const QPoint at = down ? button.pressed : button.rest;
    button.control->moveOnDevice({grid().x(at.x()), grid().y(at.y())});
}

void MainForm::placeLabel(QLabel* label, QPoint at)
{
    QFont font = QApplication::font();
    font.setPixelSize(static_cast<int>(std::lround(QFontInfo(font).pixelSize() * zoomFactor)));
    label->setFont(font);
    label->adjustSize();
    const QPoint device(grid().x(at.x()), grid().y(at.y()));
    label->move(devicePixels::covering(QRect(device, QSize(1, 1)), *this).topLeft());
}

void MainForm::setZoom(double zoom)
{
    zoomFactor = zoom;
    relayout();
}

void MainForm::relayout()
{
    const double factor = zoomFactor * devicePixels::ratio(*this);
    setGrid(factor, {displayTwips});
    const QRect all = devicePixels::covering(
        QRect(QPoint(), QSize(grid().x(formPixels.width()), grid().y(formPixels.height()))), *this);
    setFixedSize(all.right() + 1, all.bottom() + 1);
    const QRect shown = grid().rect(displayPixels);
    display->setDeviceGeometry(shown, grid().line());
    // Below everything, where they could never show even if they were not hidden.
    for (PictureBox* hidden : {source, work})
        hidden->setDeviceGeometry(QRect(QPoint(0, grid().y(formPixels.height()) + 1), shown.size()), grid().line());
    for (const Button& button : buttons) {
        const QImage& art = button.art;
        button.control->setPicture(art.scaled(static_cast<int>(std::lround(art.width() * factor)),
                                              static_cast<int>(std::lround(art.height() * factor)),
                                              Qt::IgnoreAspectRatio, Qt::FastTransformation));
        button.control->setScale(factor);
        placeButton(button, false);
    }
    placeLabel(difficultyLabel, twips::point(120, 5880));
    placeLabel(pickLabel, twips::point(6735, 5880));
    board->setScale(grid(), QPoint(grid().x(displayPixels.left()), grid().y(displayPixels.top() - 1)));
    emit rescaled();
}

QSize MainForm::pictureSize() const
{
    return DeviceGrid::pictureSize(grid().factor());
}

// The menu bar above may change its height with the zoom, and the form's device pixels with it.
void MainForm::moveEvent(QMoveEvent* event)
{
    DesignSurface::moveEvent(event);
    relayout();
}

void MainForm::setBrowsing(bool on)
{
    nextButton->setEnabled(on);
    previousButton->setEnabled(on);
    difficultyButton->setEnabled(on);
}

void MainForm::showDifficulty(int gridSize)
{
    difficultyLabel->setText(design::difficultyCaption(gridSize));
}

void MainForm::describe(int pictureNumber, int gridSize)
{
    display->setAccessibleName(QStringLiteral("第%1张图片").arg(pictureNumber));
    display->setAccessibleDescription(design::difficultyCaption(gridSize));
}

void MainForm::tellWhole()
{
    display->setAccessibleDescription(QStringLiteral("拼图完成"));
    QAccessibleEvent done(display, QAccessible::Alert);
    QAccessible::updateAccessibility(&done);
}

} // namespace vellumi
