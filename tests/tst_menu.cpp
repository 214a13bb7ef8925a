#include "DataFolder.h"

#include "effects/PatternFade.h"
#include "ui/Appearance.h"
#include "ui/ImageControl.h"
#include "ui/PictureBox.h"
#include "ui/frmabout.h"
#include "ui/frmmain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace vellumi {

namespace {

// Presses at a point of a widget the way the window system delivers it, through the window, so
// that modal windows block it as they block a player.
void pressOnWindow(QWidget* widget, Qt::MouseButton button, QPoint at = {5, 5})
{
    QWidget* window = widget->window();
    QTest::mousePress(window->windowHandle(), button, {}, widget->mapTo(window, at));
    QTest::mouseRelease(window->windowHandle(), button, {}, widget->mapTo(window, at));
}

// Runs `look` on whatever modal window or pop-up opens next, then closes it.
void whenOpened(std::function<void(QWidget*)> look)
{
    QTimer::singleShot(50, [look = std::move(look)] {
        QWidget* opened = QApplication::activePopupWidget();
        if (!opened)
            opened = QApplication::activeModalWidget();
        look(opened);
        if (opened)
            opened->close();
    });
}

} // namespace

class MenuTest : public QObject {
    Q_OBJECT
public:
    // The scenarios that end the program run in a child process: scenario name → how it starts.
    static int runChild(const QString& scenario, const QString& folder);

private slots:
    void exitEndsTheProgramCleanly_data();
    void exitEndsTheProgramCleanly();
    void exitDuringAGameReturnsToBrowsingAtOnce();
    void helpShowsItsLineInBothPhases();
    void theCopyrightWindowIsModalAndReused();
    void aRightPressOnTheWindowOpensTheGameMenu();

private:
    std::unique_ptr<frmmain> openedWindow();
    QTemporaryDir dir;
    QStringList sounds;
};

std::unique_ptr<frmmain> MenuTest::openedWindow()
{
    testdata::makeDataFolder(dir.path(), "3", 3);
    auto w = std::make_unique<frmmain>(dir.path());
    w->Form_Load();
    w->playWave = [this](const QString& file) { sounds << file; };
    w->fadeStepTime = 0;
    w->show();
    w->Timer1_Timer();
    return w;
}

int MenuTest::runChild(const QString& scenario, const QString& folder)
{
    frmmain w(folder);
    w.Form_Load();
    w.show();
    const auto after = [&w](int ms, auto what) { QTimer::singleShot(ms, &w, what); };
    if (scenario == "exit-between-games") {
        w.Timer1_Timer();
        after(0, [&] { w.E_exit->trigger(); });
    } else if (scenario == "exit-twice-during-a-game") {
        w.Timer1_Timer();
        after(0, [&] {
            w.E_game->trigger();
            w.E_exit->trigger();
            w.E_exit->trigger();
        });
    } else if (scenario == "close-during-the-opening-fade") {
        after(1500, [&] { w.close(); });
    } else if (scenario == "close-during-the-start-fade") {
        w.Timer1_Timer();
        after(0, [&] { w.E_game->trigger(); });
        after(500, [&] { w.close(); });
    } else if (scenario == "close-during-the-end-fade") {
        w.Timer1_Timer();
        after(0, [&] {
            w.fadeStepTime = 0;
            w.E_game->trigger();
            w.fadeStepTime = 100;
            for (int k = 0; k < 9; ++k) // one move from home
                w.game.board[k] = static_cast<std::int16_t>(k == 7 ? 8 : k == 8 ? 7 : k);
            w.game.blankPos = 7;
            w.picbox_MouseDown(8, Qt::LeftButton);
        });
        after(500, [&] { w.close(); });
    } else if (scenario == "close-with-the-help-box-open") {
        w.Timer1_Timer();
        after(0, [&] { w.E_help->trigger(); });
        after(300, [&] { w.close(); });
    } else if (scenario == "close-with-the-copyright-window-open") {
        w.Timer1_Timer();
        after(0, [&] { w.E_reg->trigger(); });
        after(300, [&] { w.close(); });
    }
    // Whatever happens, never outlive the test that waits for us.
    QTimer::singleShot(20000, [] { QCoreApplication::exit(3); });
    return QApplication::exec();
}

void MenuTest::exitEndsTheProgramCleanly_data()
{
    QTest::addColumn<QString>("scenario");
    for (const char* s : {"exit-between-games", "exit-twice-during-a-game", "close-during-the-opening-fade",
                          "close-during-the-start-fade", "close-during-the-end-fade", "close-with-the-help-box-open",
                          "close-with-the-copyright-window-open"})
        QTest::newRow(s) << QString::fromLatin1(s);
}

void MenuTest::exitEndsTheProgramCleanly()
{
    QFETCH(QString, scenario);
    testdata::makeDataFolder(dir.path(), "3", 3);
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), scenario, dir.path()});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
}

void MenuTest::exitDuringAGameReturnsToBrowsingAtOnce()
{
    const auto w = openedWindow();
    w->E_game->trigger();
    sounds.clear();
    w->E_exit->trigger();
    QVERIFY(!w->fade->isRunning());
    QVERIFY(sounds.isEmpty());
    QVERIFY(w->E_game->isEnabled() && !w->E_restart->isEnabled());
    QVERIFY(w->imgnext->isEnabled() && w->imgprev->isEnabled() && w->imgchage->isEnabled());
    for (ImageControl* tile : w->picbox)
        QVERIFY(tile->isHidden());
    QVERIFY(w->Picture3->isVisible());
    QCOMPARE(w->Picture3->surface(), testdata::decoded(dir.path(), 1));
}

void MenuTest::helpShowsItsLineInBothPhases()
{
    const auto w = openedWindow();
    for (int phase = 0; phase < 2; ++phase) {
        const BoardArray board = w->game.board;
        bool seen = false;
        whenOpened([&](QWidget* opened) {
            auto* box = qobject_cast<QMessageBox*>(opened);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QStringLiteral("使用帮助"));
            QCOMPARE(box->text(), QStringLiteral("详情请见readme.txt"));
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            QCOMPARE(box->buttons().size(), 1);
            QCOMPARE(box->buttons().first()->text(), QStringLiteral("确定"));
            seen = true;
        });
        w->E_help->trigger();
        QVERIFY(seen);
        QCOMPARE(w->game.board, board);
        if (phase == 0)
            w->E_game->trigger();
    }
    QVERIFY(!w->E_game->isEnabled()); // the game went on
}

void MenuTest::theCopyrightWindowIsModalAndReused()
{
    const auto w = openedWindow();
    w->E_game->trigger();
    const BoardArray board = w->game.board;
    const int blank = w->game.blankPos;
    const int neighbour = blank % 3 > 0 ? blank - 1 : blank + 1;

    for (int showing = 0; showing < 2; ++showing) {
        whenOpened([&](QWidget* opened) {
            QCOMPARE(opened->objectName(), QStringLiteral("frmabout"));
            QCOMPARE(opened->windowTitle(), QStringLiteral("版权"));
            QCOMPARE(opened->size(), QSize(271, 138));
            QVERIFY(!(opened->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                                               Qt::WindowContextHelpButtonHint)));
            const auto text = [&](const char* name) { return opened->findChild<QLabel*>(name)->text(); };
            QCOMPARE(text("Label4"), QStringLiteral("GNU通用公共许可证(GPL)"));
            QCOMPARE(text("Label5"), QStringLiteral("2000.4 第一版"));
            QVERIFY(text("Label2").startsWith(QStringLiteral("作者:")));
            QVERIFY(text("Label3").startsWith(QStringLiteral("    ")));
            auto* web = opened->findChild<QLabel*>("Label1");
            QCOMPARE(web->palette().color(QPalette::WindowText), QColor(0, 0, 255));
            QVERIFY(web->font().underline());
            QCOMPARE(web->pos(), QPoint(160, 120));
            // While it is open, the main window takes no press.
            pressOnWindow(w->picbox[neighbour], Qt::LeftButton);
            QCOMPARE(w->game.board, board);
            QCOMPARE(w->game.blankPos, std::int16_t(blank));
        });
        w->E_reg->trigger();
    }
    QCOMPARE(w->findChildren<frmabout*>().size(), 1);
    QVERIFY(sounds.isEmpty());
    pressOnWindow(w->picbox[neighbour], Qt::LeftButton); // closed again: the tile moves
    QCOMPARE(w->game.blankPos, std::int16_t(neighbour));
}

void MenuTest::aRightPressOnTheWindowOpensTheGameMenu()
{
    const auto w = openedWindow();
    for (int phase = 0; phase < 2; ++phase) {
        QWidget* popup = nullptr;
        bool startEnabled = false, restartEnabled = false;
        whenOpened([&](QWidget* opened) {
            popup = opened;
            startEnabled = w->E_game->isEnabled();
            restartEnabled = w->E_restart->isEnabled();
        });
        // Over the picture between games, over the empty blank cell during one.
        QWidget* target = phase == 0 ? static_cast<QWidget*>(w->Picture3) : w->picbox[w->game.blankPos];
        pressOnWindow(target, Qt::RightButton);
        QCOMPARE(popup, w->E_games);
        QCOMPARE(startEnabled, phase == 0);
        QCOMPARE(restartEnabled, phase == 1);

        // Left and middle presses there, or any press on a label, open nothing.
        popup = nullptr;
        whenOpened([&](QWidget* opened) { popup = opened; });
        pressOnWindow(target, Qt::LeftButton);
        pressOnWindow(target, Qt::MiddleButton);
        pressOnWindow(w->labchage, Qt::RightButton);
        QTest::qWait(100);
        QCOMPARE(popup, nullptr);

        if (phase == 0)
            w->E_game->trigger();
    }
}

} // namespace vellumi

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    vellumi::applyAppearance(app);
    if (argc == 4 && QByteArray(argv[1]) == "--child")
        return vellumi::MenuTest::runChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    vellumi::MenuTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_menu.moc"
