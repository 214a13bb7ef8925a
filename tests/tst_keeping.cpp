#include "DataFolder.h"
#include "WindowDriver.h"

#include "app/TerminationSignal.h"
#include "game/Board.h"
#include "game/Records.h"
#include "ui/Appearance.h"
#include "ui/ProgressLabel.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDialog>
#include <QLabel>
#include <QProcess>
#include <QTableWidget>
#include <QTimer>

#include <csignal>

#include <sys/stat.h>
#include <unistd.h>

namespace vellumi {

namespace {

QString stateFile()
{
    return qEnvironmentVariable("XDG_STATE_HOME") + QStringLiteral("/vellumi/unfinished-game");
}
QString recordsFile()
{
    return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/vellumi/records");
}
QString progress(const QWidget& w)
{
    return control<QLabel>(w, "progress")->text();
}
// An arrow that slides a tile, whatever the board.
Qt::Key anySlide(const MainWindow& w)
{
    return cellSliding(w.state(), Direction::Left) ? Qt::Key_Left : Qt::Key_Right;
}
QString boardText(const MainWindow& w)
{
    QStringList cells;
    for (int k = 0; k < w.state().cellCount(); ++k)
        cells << QString::number(w.state().board[k]);
    return cells.join(',');
}

} // namespace

// What a player keeps from game to game: the game in hand, however the program ended, and the
// records of finished games.
class KeepingTest : public WindowTest {
    Q_OBJECT
public:
    static int runChild(const QString& scenario, const QString& folder);

private slots:
    void init();
    void anUnfinishedGameIsNeverLost();
    void filesNotOursAreSetAside_data();
    void filesNotOursAreSetAside();
    void twoCopiesKeepEachOthersRecords();
    void theClockStandsStillOutOfSight();

private:
    std::unique_ptr<MainWindow> opened(Rnd rnd = seeded(3));
};

void KeepingTest::init()
{
    clearHome();
    QVERIFY(testdata::makeDataFolder(dir.path(), "2", 2));
}

std::unique_ptr<MainWindow> KeepingTest::opened(Rnd rnd)
{
    auto w = std::make_unique<MainWindow>(dir.path(), dir.filePath("own"));
    w->setSoundPlayer([](const QString&) {});
    w->setFadeStepTime(0);
    w->setRandomSource(std::move(rnd));
    if (!w->load().isEmpty())
        qFatal("the data folder was refused");
    w->show();
    w->activateWindow();
    control<QTimer>(*w, "Timer1")->start(0);
    if (!settled(*w))
        qFatal("the opening never ended");
    return w;
}

// Closed in the middle, or killed a second after its last move, the game comes back as it was:
// board, undo and count. Left by the menu's exit, it is gone.
void KeepingTest::anUnfinishedGameIsNeverLost()
{
    auto w = opened();
    QTest::keyClick(w.get(), Qt::Key_T);
    command(*w, "E_game")->trigger();
    QVERIFY(settled(*w));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(w.get(), anySlide(*w));
    QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier);
    const GameState before = w->state();
    QVERIFY(progress(*w).startsWith(QStringLiteral("2 步  0:0")));
    w.reset();
    // Closed while it is being brought back, it is brought back the next time.
    auto closing = std::make_unique<MainWindow>(dir.path(), dir.filePath("own"));
    QVERIFY(closing->load().isEmpty());
    closing.reset();

    w = opened(leftAndRight());
    QVERIFY(w->state().board == before.board && progress(*w).startsWith(QStringLiteral("2 步")));
    QTest::keyClick(w.get(), Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(progress(*w).startsWith(QStringLiteral("3 步")));
    command(*w, "E_exit")->trigger();
    // Between games nothing wakes the program.
    const auto checkIdle = [&w] {
        for (const QTimer* timer : w->findChildren<QTimer*>())
            QVERIFY2(!timer->isActive(), qPrintable(timer->objectName()));
    };
    checkIdle();
    w.reset();

    // Finished, a game is gone too, and says how it went: a first game sets both bests, a
    // helped one none.
    w = opened(leftAndRight());
    QVERIFY(command(*w, "E_game")->isEnabled() && !QFile::exists(stateFile()));
    for (const bool helped : {false, true}) {
        command(*w, "E_game")->trigger();
        QVERIFY(settled(*w));
        QTest::keyClick(w.get(), helped ? Qt::Key_H : Qt::Key_Left);
        QTRY_VERIFY(command(*w, "E_game")->isEnabled() && settled(*w));
        QCOMPARE(progress(*w), helped ? QStringLiteral("完成！1 步  0:00  用了提示，不计纪录")
                                      : QStringLiteral("完成！1 步  0:00  新纪录：步数和时间"));
    }
    QVERIFY(!QFile::exists(stateFile()) && QFile::exists(recordsFile()));
    checkIdle();
    // The records: the picture on show first, as it stands, then the others.
    const auto recordsShown = [&w] {
        QTest::keyClick(w.get(), Qt::Key_H, Qt::ControlModifier);
        const std::unique_ptr<QDialog> box(w->findChild<QDialog*>(QStringLiteral("recordsBox")));
        const auto* table = box->findChild<QTableWidget*>();
        QStringList rows;
        for (int row = 0; row < table->rowCount(); ++row)
            for (int column = 0; column < table->columnCount(); ++column)
                rows << table->item(row, column)->text();
        return rows.join(u' ');
    };
    QCOMPARE(recordsShown(), QStringLiteral("angle1.jpg（当前） 初级 1 0:00 2"));
    click(control(*w, "imgnext"));
    QCOMPARE(recordsShown(), QStringLiteral("angle2.jpg（当前） 初级 — — 0 angle1.jpg 初级 1 0:00 2"));
    QCOMPARE(ProgressLabel::timeText(3723999), QStringLiteral("1:02:03"));
    w.reset();

    // Ended by SIGTERM, as a logout ends it, or killed a second after the last move.
    for (const bool killed : {false, true}) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), "play and wait", dir.path()});
        QVERIFY(child.waitForReadyRead(20000));
        const QString board = QString::fromUtf8(child.readAllStandardOutput()).trimmed();
        QTest::qWait(1200);
        killed ? child.kill() : child.terminate();
        QVERIFY(child.waitForFinished() && (killed || child.exitCode() == 0));
        w = opened();
        QCOMPARE(boardText(*w), board);
        QVERIFY(!command(*w, "E_game")->isEnabled());
        command(*w, "E_exit")->trigger();
        w.reset();
    }
}

// The time counts only while the player can see the game: minimized, it stands still; shown
// again, it goes on.
void KeepingTest::theClockStandsStillOutOfSight()
{
    auto w = opened();
    QTest::keyClick(w.get(), Qt::Key_T);
    command(*w, "E_game")->trigger();
    QVERIFY(settled(*w));
    w->showMinimized();
    QTest::qWait(1200);
    QCOMPARE(progress(*w), QStringLiteral("0 步  0:00"));
    w->showNormal();
    w->activateWindow();
    QTRY_COMPARE_WITH_TIMEOUT(progress(*w), QStringLiteral("0 步  0:01"), 3000);
}

void KeepingTest::filesNotOursAreSetAside_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content"); // "pipe", "folder", "link", "huge" or the bytes
    QTest::addColumn<QString>("why");
    // Of the picture the test makes: filled in there.
    const QByteArray kept =
        "vellumi kept game "
        "1\npicture=PICTURE\ncontent=HASH\nsize=3\nstart=0,1,2,3,4,5,6,8,7\nsteps=6\nposition=1\ntime=1000\nhelped=0\n";
    const auto row = [](const char* name, const char* file, const QByteArray& content, const char* why) {
        QTest::newRow(name) << QString(file) << content << QString::fromUtf8(why);
    };
    row("a game as written", "state", kept, "");
    row("a game whose restoring ended the program", "mark", kept, "上次恢复它时游戏意外结束");
    row("a game cut short", "state", kept.left(kept.size() / 2), "内容无法识别");
    row("random bytes", "state", QByteArray::fromHex("9c1f00ee7a41ffff0a0a3d3d"), "内容无法识别");
    row("a board that is no permutation", "state", QByteArray(kept).replace("6,8,7", "6,6,7"), "内容无法识别");
    row("a board that cannot be solved", "state", QByteArray(kept).replace("0,1,2", "1,0,2"), "内容无法识别");
    row("a way that does not lead on from its board", "state", QByteArray(kept).replace("steps=6", "steps=0"),
        "步骤与棋盘不符");
    row("a game whose picture, unchanged, cannot be shown", "state", QByteArray(kept).replace("PICTURE", "BROKEN"),
        "图片无法显示");
    row("gigabytes", "state", "huge", "文件太大");
    row("a pipe", "state", "pipe", "不是普通文件");
    row("a link", "state", "link", "不是普通文件");
    row("a folder", "state", "folder", "不是普通文件");
    row("records of random bytes", "records", QByteArray(3000, '\x07'), "内容无法识别");
    row("records that are a pipe", "records", "pipe", "不是普通文件");
}

// Whatever lies where the game keeps its files, it starts as designed, tells the player once,
// and sets the file aside under another name.
void KeepingTest::filesNotOursAreSetAside()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, why);
    const bool broken = content.contains("BROKEN");
    if (broken)
        QVERIFY(testdata::writeFile(dir.filePath("broken.jpg"), "just text"));
    QFile picture(dir.filePath(broken ? "broken.jpg" : "image/angle1.jpg"));
    QVERIFY(picture.open(QIODevice::ReadOnly));
    content.replace("BROKEN", "PICTURE")
        .replace("PICTURE", QFile::encodeName(picture.fileName()))
        .replace("HASH", QCryptographicHash::hash(picture.readAll(), QCryptographicHash::Sha256).toHex());
    const QString path = file == "records" ? recordsFile() : stateFile();
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    if (content == "pipe" || content == "folder")
        QVERIFY(content == "pipe" ? ::mkfifo(QFile::encodeName(path), 0600) == 0 : QDir().mkpath(path));
    else if (content == "link")
        QVERIFY(testdata::writeFile(dir.filePath("elsewhere"), "x") && QFile::link(dir.filePath("elsewhere"), path));
    else if (content == "huge")
        QVERIFY(::truncate((testdata::writeFile(path, ""), QFile::encodeName(path)), 3LL << 30) == 0);
    else
        QVERIFY(testdata::writeFile(path, content));
    if (file == "mark")
        QVERIFY(testdata::writeFile(path + ".restoring", ""));

    const auto w = opened();
    if (file == "records") {
        QTest::keyClick(w.get(), Qt::Key_H, Qt::ControlModifier);
        QTRY_VERIFY(w->findChild<QWidget*>("recordsBox"));
        w->findChild<QWidget*>("recordsBox")->close();
    }
    if (why.isEmpty()) {
        QVERIFY2(w->state().board[7] == 6 && told(*w).isEmpty(), qPrintable(told(*w).join('|')));
        return;
    }
    QVERIFY(command(*w, "E_game")->isEnabled());
    QCOMPARE(told(*w).size(), 1);
    QVERIFY2(told(*w)[0].contains(why), qPrintable(told(*w)[0]));
    // A game that cannot go on is forgotten; only a file that cannot be read is set aside.
    if (broken || why.contains(QStringLiteral("步骤")))
        QVERIFY(!QFileInfo::exists(path));
    else
        QVERIFY(QFileInfo::exists(path + ".damaged") || QFileInfo(path + ".damaged").isSymLink());
}

// Two copies finishing a game on the same picture at the same moment: both are counted.
void KeepingTest::twoCopiesKeepEachOthersRecords()
{
    QProcess first, second;
    for (QProcess* child : {&first, &second})
        child->start(QCoreApplication::applicationFilePath(), {"--child", "finish", dir.path()});
    for (QProcess* child : {&first, &second})
        QVERIFY(child->waitForFinished(30000) && child->exitCode() == 0);
    QFile file(recordsFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const std::optional<Records> records = Records::parse(file.readAll().toStdString());
    QVERIFY(records && records->all().size() == 1);
    QCOMPARE(records->all().begin()->second.finished, 2);
}

int KeepingTest::runChild(const QString& scenario, const QString& folder)
{
    MainWindow w(folder, folder + QStringLiteral("/own"));
    w.setFadeStepTime(0);
    w.setRandomSource(leftAndRight());
    if (!w.load().isEmpty())
        return 2;
    w.show();
    w.activateWindow();
    onTerminationSignal([&w] {
        w.close();
        QCoreApplication::quit();
    });
    control<QTimer>(w, "Timer1")->start(0);
    QTimer::singleShot(0, &w, [&] {
        if (!settled(w) || (command(w, "E_game")->trigger(), !settled(w)))
            return QCoreApplication::exit(3);
        if (scenario == "finish") {
            // Both copies at the next whole half second.
            QTest::qWait(500 - int(QDateTime::currentMSecsSinceEpoch() % 500));
            QTest::keyClick(&w, Qt::Key_Left); // the last slide home
            QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
            return;
        }
        QTest::keyClick(&w, Qt::Key_Right);
        std::printf("%s\n", qPrintable(boardText(w)));
        std::fflush(stdout);
    });
    QTimer::singleShot(20000, [] { QCoreApplication::exit(3); });
    return QApplication::exec();
}

} // namespace vellumi

int main(int argc, char* argv[])
{
    vellumi::KeepingTest test;
    return vellumi::runWindowTests(argc, argv, test, vellumi::KeepingTest::runChild);
}
#include "tst_keeping.moc"
