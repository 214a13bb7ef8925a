#include "ui/MainForm.h"

#include "ui/Artwork.h"
#include "ui/BoardView.h"
#include "ui/DesignControls.h"
#include "ui/ImageControl.h"
#include "ui/PictureBox.h"
#include "ui/Twips.h"

#include <QAccessible>
#include <QLabel>

namespace vellumi {

// The fade's source and work boxes lie below the client area in the design; hidden, they can
// never show.
MainForm::MainForm(QWidget* parent)
    : DesignSurface(parent)
    , work(design::pictureBox(this, "Picture2", 2100, 6540, 615, 435))
    , source(design::pictureBox(this, "Picture1", 1200, 6540, 795, 435))
    , display(design::pictureBox(this, "Picture3", 120, 180, 7260, 5460))
{
    setObjectName(QStringLiteral("surface"));
    setFixedSize(twips::size(7455, 6330));
    work->hide();
    source->hide();
    display->setBackColor(systemColour(SystemColour::WindowText));

    difficultyButton =
        design::pictureButton(this, "imgchage", {1200, 5880}, {1215, 5890}, artwork::difficultyButton(),
                              QStringLiteral("改变难易度"), QStringLiteral("↑ ↓"), [this] { cycleDifficulty(true); });
    difficultyLabel = design::label(this, "labchage", 120, 5880, design::difficultyCaption(3));
    design::label(this, "Label1", 6735, 5880, QStringLiteral("选择"));
    previousButton =
        design::pictureButton(this, "imgprev", {6495, 5880}, {6485, 5890}, artwork::previousButton(),
                              QStringLiteral("上一张"), QStringLiteral("←"), [this] { stepPicture(false); });
    nextButton = design::pictureButton(this, "imgnext", {7140, 5880}, {7150, 5890}, artwork::nextButton(),
                                       QStringLiteral("下一张"), QStringLiteral("→"), [this] { stepPicture(true); });
    board = new BoardView(this);
    // Picture boxes lie above image controls, so the display covers any tile while it shows.
    display->raise();
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
