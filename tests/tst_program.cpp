#include "DataFolder.h"
#include "WindowDriver.h"

#include "app/FatalError.h"
#include "files/PictureFile.h"
#include "files/PictureImport.h"
#include "files/Settings.h"
#include "game/Board.h"
#include "ui/AboutDialog.h"
#include "ui/Appearance.h"
#include "ui/Artwork.h"
#include "ui/BoardView.h"
#include "ui/ImageControl.h"
#include "ui/MainWindow.h"
#include "ui/PictureBox.h"
#include "ui/ProblemBox.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumi {

// The program as a whole: pictures dropped on it, and every way it ends, in child processes.
class ProgramTest : public WindowTest {
    Q_OBJECT
public:
    // Scenarios that end the program run in a child process of this test.
    static int runChild(const QString& scenario, const QString& folder);

private slots:
    void init() { clearHome(); }
    void picturesDroppedBetweenGamesAreKept();
    void theProgramEndsCleanly_data();
    void theProgramEndsCleanly();
};

void ProgramTest::picturesDroppedBetweenGamesAreKept()
{
    const auto w = openedWindow();
    testdata::picture(9).save(dir.filePath("drop.png"));
    testdata::picture(10).save(dir.filePath(".hidden.png"));
    testdata::writeFile(dir.filePath("notes.jpg"), "not a picture");
    testdata::picture(9).save(dir.filePath("notes.txt"), "png"); // a picture, but never listed under that name
    // The longest name the file system takes: a second copy, numbered, cannot have it.
    const QString longest = dir.filePath(QString(251, 'x') + ".png");
    testdata::picture(11).save(longest);
    // Dragged in and let go; a drop then waits for its copying to end.
    const auto release = [&](const QStringList& names) {
        QMimeData files;
        QList<QUrl> urls;
        for (const QString& name : names)
            urls << QUrl::fromLocalFile(name.startsWith('/') ? name : dir.filePath(name));
        files.setUrls(urls);
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &files, Qt::LeftButton, {});
        QCoreApplication::sendEvent(w.get(), &enter);
        QDropEvent dropped(QPointF(100, 100), Qt::CopyAction, &files, Qt::LeftButton, {});
        QCoreApplication::sendEvent(w.get(), &dropped);
        return enter.isAccepted() && dropped.isAccepted();
    };
    const auto drop = [&](const QStringList& names) {
        return release(names) && QTest::qWaitFor([&] { return !w->findChild<QProgressDialog*>(); });
    };
    QDir(dir.path()).mkpath("own");
    for (const char* inUse : {"own/angle1.jpg", "own/angle1 (2).jpg"})
        testdata::picture(1).save(dir.filePath(inUse));
    // The progress box counts every file handled, copied or not.
    QSignalSpy counted(w->findChild<PictureImport*>(), &PictureImport::progressed);
    QVERIFY(drop({"notes.jpg", ".hidden.png", "drop.png", "image/angle1.jpg", "notes.txt", longest, longest}));
    QCOMPARE(counted.size(), 7);
    QCOMPARE(counted.last(), QVariantList({7, 7}));
    QDir own(dir.filePath("own"));
    QCOMPARE(own.entryList(QDir::Files), QStringList({"angle1 (2).jpg", "angle1 (3).jpg", "angle1.jpg", "drop.png",
                                                      "hidden.png", QFileInfo(longest).fileName()}));
    QCOMPARE(shownPicture(*w), testdata::picture(10)); // the first picture taken
    QCOMPARE(told(*w), QStringList({"没有加入（不是图片文件：" + dir.filePath("notes.jpg") + "）",
                                    "没有加入（不是图片文件名：" + dir.filePath("notes.txt") + "）",
                                    "没有加入（文件名太长：" + longest + "）"}));

    // Where the folder should be there is a file: said so, in a box of its own once the first is closed.
    own.removeRecursively();
    testdata::writeFile(dir.filePath("own"), "");
    delete w->findChild<QMessageBox*>();
    QVERIFY(drop({"drop.png"}));
    QCOMPARE(told(*w), QStringList{"没有加入（图片文件夹的位置上有一个文件：" + dir.filePath("drop.png") + "）"});

    // A drop cancelled from its progress box stops at the file in hand, leaving no part of one.
    QFile::remove(dir.filePath("own"));
    QFile picture(dir.filePath("drop.png"));
    QVERIFY(picture.open(QIODevice::ReadOnly));
    testdata::writeFile(dir.filePath("big.png"), picture.readAll() + QByteArray(4 << 20, '\0'));
    QVERIFY(release(QStringList(60, "big.png")));
    QVERIFY(!drop({"drop.png"})); // one drop at a time
    // Browsed while it copies, a copy is seen only once whole.
    while (own.entryList(QDir::Files).size() < 3) {
        for (const QFileInfo& copy : own.entryInfoList(QDir::Files))
            QCOMPARE(copy.size(), QFileInfo(dir.filePath("big.png")).size());
        QTest::keyClick(w.get(), Qt::Key_Right);
    }
    w->findChild<QProgressDialog*>()->findChild<QPushButton*>()->click();
    QVERIFY(QTest::qWaitFor([&] { return !w->findChild<QProgressDialog*>(); }));
    const QFileInfoList copies = own.entryInfoList(QDir::Files);
    QVERIFY(copies.size() < 60);
    for (const QFileInfo& copy : copies)
        QCOMPARE(copy.size(), QFileInfo(dir.filePath("big.png")).size());

    startGame(*w);
    QVERIFY(!drop({"drop.png"}));
}

void ProgramTest::theProgramEndsCleanly_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QByteArray>("count");  // what the picture-count file holds
    QTest::addColumn<QString>("namedFile"); // a file a message must name, if any
    QTest::addColumn<QString>("said");      // and what it must say of it
    QTest::addColumn<int>("status");
    for (const char* s : {"exit between games", "close during the opening fade", "close during the start fade",
                          "close during the end fade", "close with the help box open", "close during a search"})
        QTest::newRow(s) << QString::fromLatin1(s) << QByteArray("3") << QString() << QString() << 0;
    const QString countFile = QStringLiteral("image/picture.txt");
    QTest::newRow("count file missing") << "play" << QByteArray() << countFile << "找不到文件" << 1;
    QTest::newRow("an empty count file") << "play" << QByteArray(" \r\n") << countFile << "图片数量文件是空的" << 1;
    QTest::newRow("a count that is no number") << "play" << QByteArray("3x") << countFile << "第一项不是整数" << 1;
    QTest::newRow("a count out of range") << "play" << QByteArray("32768") << countFile << "超出范围" << 1;
    QTest::newRow("a count of no pictures") << "play" << QByteArray("0") << countFile << "至少为 1" << 1;
    QTest::newRow("no picture can be shown") << "play" << QByteArray("1") << "image/angle1.jpg"
                                             << "没有可以显示的图片" << 1;
    QTest::newRow("only an own picture can be shown") << "play" << QByteArray("1") << "image/angle1.jpg"
                                                      << "不是图片文件" << 0;
}

// The folder is named with blanks and Chinese characters, as a player's may be.
void ProgramTest::theProgramEndsCleanly()
{
    QFETCH(QString, scenario);
    QFETCH(QByteArray, count);
    QFETCH(QString, namedFile);
    QFETCH(QString, said);
    QFETCH(int, status);
    const QString folder = dir.filePath(QStringLiteral("我的 拼图"));
    QVERIFY(testdata::makeDataFolder(folder, count.isNull() ? "3" : count, 3));
    if (QByteArray(QTest::currentDataTag()).startsWith("only an own"))
        QVERIFY(QDir(folder).mkpath("own") && testdata::picture(4).save(folder + "/own/4.png"));
    if (count.isNull())
        QVERIFY(QFile::remove(folder + '/' + namedFile));
    else if (namedFile.endsWith(".jpg")) // not a picture at all
        QVERIFY(testdata::writeFile(folder + '/' + namedFile, "x"));

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), scenario, folder});
    QVERIFY(child.waitForFinished(30000));
    const QString err = QString::fromUtf8(child.readAllStandardError());
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QVERIFY2(child.exitCode() == status && err.contains(said) &&
                 (namedFile.isEmpty() || err.contains(folder + '/' + namedFile)),
             qPrintable(err));
}

int ProgramTest::runChild(const QString& scenario, const QString& folder)
{
    MainWindow w(folder, folder + QStringLiteral("/own"));
    // Fades short enough to be quick and long enough to be closed in the middle.
    w.setFadeStepTime(scenario.startsWith(QLatin1String("close")) ? 30 : 0);
    w.setRandomSource(leftAndRight());
    if (const QString problem = w.load(); !problem.isEmpty())
        fatalError(problem);
    w.show();
    control<QTimer>(w, "Timer1")->start(0);
    QElapsedTimer sinceClose;
    const auto closeSoon = [&] { QTimer::singleShot(300, &w, [&] { sinceClose.start(), w.close(); }); };
    const auto trigger = [&w](const char* name) { command(w, name)->trigger(); };
    // Played from within the event loop, which must then end of itself.
    QTimer::singleShot(0, &w, [&] {
        if (scenario == "close during the opening fade")
            return closeSoon();
        if (!settled(w))
            return;
        if (scenario == "exit between games" || scenario == "play")
            trigger("E_exit");
        else if (scenario == "close during the start fade")
            trigger("E_game"), closeSoon();
        else if (scenario == "close during the end fade")
            trigger("E_game"), (void)settled(w), click(tile(w, 8)), closeSoon();
        else if (scenario == "close with the help box open")
            closeSoon(), trigger("E_help");
        else if (scenario == "close during a search") // on 6 × 6, whose tables take seconds to build
            for (int i = 0; i < 3; ++i)
                click(control(w, "imgchage"));
        if (scenario == "close during a search")
            trigger("E_game"), (void)settled(w), QTest::keyClick(&w, Qt::Key_H), closeSoon();
    });
    // Whatever happens, never outlive the test that waits for us.
    QTimer::singleShot(20000, [] { QCoreApplication::exit(3); });
    const int status = QApplication::exec();
    if (sinceClose.isValid())
        std::fprintf(stderr, "ended %lld ms after the close\n", sinceClose.elapsed());
    return status;
}

} // namespace vellumi

int main(int argc, char* argv[])
{
    vellumi::ProgramTest test;
    return vellumi::runWindowTests(argc, argv, test, vellumi::ProgramTest::runChild);
}
#include "tst_program.moc"
