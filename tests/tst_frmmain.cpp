#include "DataFolder.h"
#include "GuiTestMain.h"

#include "ui/Appearance.h"
#include "ui/ImageControl.h"
#include "ui/PictureBox.h"
#include "ui/frmmain.h"
#include "effects/PatternFade.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace vellumi {

namespace {

using testdata::makeDataFolder;
QImage numberedPicture(int width, int height) { return testdata::picture(1, width, height); }

} // namespace

class FrmMainTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void startUpPreparesStateAndControlsButShowsNothing();
    void theWindowKeepsItsDesign();
    void resetBoardLaysTheTilesOutOnTheTwipGrid_data();
    void resetBoardLaysTheTilesOutOnTheTwipGrid();
    void resetBoardHidesTilesOfALargerEarlierBoard();
    void theOpeningFadeRunsOnceThenHandsTheWindowOver();

private:
    std::unique_ptr<frmmain> loadedWindow();
    void startBoard(frmmain& w, int n);

    QTemporaryDir dir;
};

void FrmMainTest::init()
{
    QVERIFY(dir.isValid());
    QVERIFY(makeDataFolder(dir.path(), "12\n", 1));
}

std::unique_ptr<frmmain> FrmMainTest::loadedWindow()
{
    auto w = std::make_unique<frmmain>(dir.path());
    w->Form_Load();
    return w;
}

// What the start-game command will do once it exists: cut a picture and scramble it.
void FrmMainTest::startBoard(frmmain& w, int n)
{
    w.game.gridSize = static_cast<std::int16_t>(n);
    w.PicClip.setPicture(numberedPicture(480, 360));
    w.ScrambleBoard();
    w.ResetBoard();
}

void FrmMainTest::startUpPreparesStateAndControlsButShowsNothing()
{
    const auto w = loadedWindow();
    QCOMPARE(w->game.picCount, std::int16_t(12));
    QCOMPARE(w->game.picNo, std::int16_t(1));
    QCOMPARE(w->game.gridSize, std::int16_t(3));
    QVERIFY(w->game.firstFade);
    QCOMPARE(w->game.blankPos, std::int16_t(0));
    QCOMPARE(w->game.startBlank, std::int16_t(0));
    QVERIFY(std::all_of(w->game.board.begin(), w->game.board.end(), [](auto v) { return v == 0; }));
    QVERIFY(std::all_of(w->game.startBoard.begin(), w->game.startBoard.end(), [](auto v) { return v == 0; }));

    w->show();
    const QRect clientArea = w->centralWidget()->rect();
    for (int k = 0; k < 36; ++k) {
        auto* tile = w->findChild<ImageControl*>(QStringLiteral("picbox(%1)").arg(k));
        QVERIFY2(tile, qPrintable(QStringLiteral("picbox(%1)").arg(k)));
        QVERIFY(!tile->isVisible() || !clientArea.intersects(tile->geometry()));
    }
    QVERIFY(!w->isEnabled());

    // Picture 1 went into the fade's source box, decoded exactly as the program decodes it.
    auto* picture1 = w->findChild<PictureBox*>(QStringLiteral("Picture1"));
    QCOMPARE(picture1->picture(), QImage(dir.filePath("image/angle1.jpg")).convertToFormat(QImage::Format_RGB32));
    QVERIFY(!picture1->isVisible());
    QVERIFY(w->findChild<PictureBox*>(QStringLiteral("Picture3"))->picture().isNull());
}

void FrmMainTest::theWindowKeepsItsDesign()
{
    const auto w = loadedWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QCOMPARE(w->centralWidget()->size(), QSize(497, 422));
    QCOMPARE(w->minimumSize(), w->maximumSize());
    QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(w->windowTitle(), QStringLiteral("Vellumi"));

    const auto geometryOf = [&](const char* name) { return w->findChild<QWidget*>(QLatin1String(name))->geometry(); };
    QCOMPARE(geometryOf("Picture3"), QRect(8, 12, 484, 364));
    QCOMPARE(geometryOf("imgchage"), QRect(80, 392, 14, 12));
    QCOMPARE(geometryOf("imgprev"), QRect(433, 392, 12, 12));
    QCOMPARE(geometryOf("imgnext"), QRect(476, 392, 12, 12));
    QCOMPARE(geometryOf("labchage").topLeft(), QPoint(8, 392));
    QCOMPARE(geometryOf("Label1").topLeft(), QPoint(449, 392));
    // The label must end before the button beside it starts.
    QVERIFY(geometryOf("labchage").right() < geometryOf("imgchage").left());
    QVERIFY(geometryOf("Label1").right() < geometryOf("imgnext").left());
    QVERIFY(!w->findChild<PictureBox*>(QStringLiteral("Picture3"))->isEnabled());

    QStringList menu;
    for (QAction* action : w->findChild<QMenu*>(QStringLiteral("E_games"))->actions())
        menu << (action->isSeparator() ? QStringLiteral("-") : action->text() + (action->isEnabled() ? "" : " (off)"));
    QCOMPARE(menu, QStringList({"开始游戏(&game)", "重新开始(&replay) (off)", "-", "使用帮助(&help)", "注册版权(&option)",
                                "-", "退出游戏(&exit)"}));
    QCOMPARE(w->menuBar()->actions().first()->text(), QStringLiteral("游戏(&G)"));
}

void FrmMainTest::resetBoardLaysTheTilesOutOnTheTwipGrid_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QList<int>>("lefts");
    QTest::addColumn<QList<int>>("tops");
    // Tiles of 160 × 120 (3 × 3) or 80 × 60 (6 × 6) plus the border, spaced in twips less the
    // 20-twip overlap, then rounded to pixels: the steps are not all the same.
    QTest::newRow("3x3") << 3 << QList<int>{8, 169, 329} << QList<int>{11, 132, 253};
    QTest::newRow("6x6") << 6 << QList<int>{8, 89, 169, 250, 331, 411} << QList<int>{11, 72, 133, 193, 254, 315};
}

void FrmMainTest::resetBoardLaysTheTilesOutOnTheTwipGrid()
{
    QFETCH(int, n);
    QFETCH(QList<int>, lefts);
    QFETCH(QList<int>, tops);
    const auto w = loadedWindow();
    startBoard(*w, n);
    for (int k = 0; k < n * n; ++k) {
        ImageControl* tile = w->picbox[k];
        QCOMPARE(tile->pos(), QPoint(lefts[k % n], tops[k / n]));
        QCOMPARE(tile->size(), QSize(480 / n + 2, 360 / n + 2));
        if (k == w->game.startBlank) {
            // The blank keeps the bottom-right piece, out of sight.
            QVERIFY(tile->isHidden());
            QCOMPARE(tile->picture(), w->PicClip.cell(n * n - 1));
        } else {
            QVERIFY(!tile->isHidden());
            QCOMPARE(tile->picture(), w->PicClip.cell(w->game.startBoard[k]));
        }
    }
    QCOMPARE(w->game.blankPos, w->game.startBlank);
}

void FrmMainTest::resetBoardHidesTilesOfALargerEarlierBoard()
{
    const auto w = loadedWindow();
    startBoard(*w, 6);
    startBoard(*w, 3);
    for (int k = 9; k < 36; ++k)
        QVERIFY(w->picbox[k]->isHidden());
}

void FrmMainTest::theOpeningFadeRunsOnceThenHandsTheWindowOver()
{
    const auto w = loadedWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));

    bool sawTheFadeRunning = false;
    PatternFade* fadeDuringTheFade = nullptr;
    QTimer::singleShot(1800, w.get(), [&] {
        sawTheFadeRunning = w->fade && w->fade->isRunning();
        fadeDuringTheFade = w->fade.get();
        QVERIFY(!w->isEnabled());
        // A click on the menu while the window is disabled opens nothing, now or later.
        QTest::mouseClick(w->menuBar(), Qt::LeftButton, {}, w->menuBar()->actionGeometry(w->E_games->menuAction()).center());
        // So does a second tick: the fade object is made once and never replaced.
        w->Timer1_Timer();
    });
    QTRY_VERIFY_WITH_TIMEOUT(w->isEnabled(), 10000);

    QVERIFY(sawTheFadeRunning);
    QCOMPARE(w->fade.get(), fadeDuringTheFade);
    QVERIFY(!w->game.firstFade);
    QVERIFY(!w->Timer1->isActive());
    QVERIFY(!w->E_games->isVisible());
    const QImage shown = w->Picture3->surface().copy();
    QCOMPARE(shown, w->Picture1->picture());

    w->Timer1_Timer();
    QCOMPARE(w->fade.get(), fadeDuringTheFade);
    QCOMPARE(w->Picture3->surface(), shown);
}

} // namespace vellumi

VELLUMI_GUI_TEST_MAIN(vellumi::FrmMainTest)
#include "tst_frmmain.moc"
