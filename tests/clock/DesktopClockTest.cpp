#include "app/Dialogs.h"
#include "clock/LCDScreen.h"
#include "clock/ShowTimeForm.h"
#include "core/Clock.h"
#include "storage/IniFile.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "widgets/Messages.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace kelvo;
using namespace kelvo::test;

namespace {

const DateTime kAt0703{Date{2024, 6, 3}, 7, 3};

// The clock's characters as they must look, row by row from the top.
struct Picture {
    QChar code;
    const char* rows[7];
};
const Picture kClockCharacters[] = {
    {u'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {u'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {u'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {u'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {u'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {u'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {u'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {u'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {u'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {u'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {u':', {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."}},
    {u' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
};

// The dots of cell k as the display shows them: '#' lit, '.' dim, '?' any
// other colour at a dot's centre.
QString shownPicture(const QImage& image, int k) {
    QString picture;
    for (int r = 0; r < 7; ++r) {
        for (int c = 0; c < 5; ++c) {
            const QColor colour =
                image.pixelColor(QPoint(4 + 35 * k + 7 * c, 4 + 7 * r) + QPoint(3, 3));
            picture += colour == TLCDScreen::kPixelOn    ? u'#'
                       : colour == TLCDScreen::kPixelOff ? u'.'
                                                         : u'?';
        }
        picture += u'\n';
    }
    return picture;
}

QString expectedPicture(const Picture& p) {
    QString picture;
    for (const char* row : p.rows)
        picture += QString::fromLatin1(row) + u'\n';
    return picture;
}

// Where the display's dots differ from what the text should light, checked
// at the centre of every dot, plus the background between them.
QString dotMismatches(TLCDScreen& screen, const QString& text) {
    screen.setText(text);
    const QImage image = screen.grab().toImage();
    if (image.size() != QSize(182, 56))
        return QStringLiteral("size %1x%2").arg(image.width()).arg(image.height());
    const lcd::LineDots dots = lcd::lineDots(text.toStdU32String());
    QString wrong;
    for (int k = 0; k < 5; ++k)
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 5; ++c) {
                const QColor expected =
                    dots[k][r * 5 + c] ? TLCDScreen::kPixelOn : TLCDScreen::kPixelOff;
                const QPoint corner(4 + 35 * k + 7 * c, 4 + 7 * r);
                for (const QPoint centre : {corner + QPoint(2, 2), corner + QPoint(3, 3)})
                    if (image.pixelColor(centre) != expected)
                        wrong += QStringLiteral("cell %1 row %2 column %3; ").arg(k).arg(r).arg(c);
                // The gap right of the dot and the dot square's corner (outside
                // the circle) show the background.
                for (const QPoint gap : {corner + QPoint(6, 3), corner})
                    if (image.pixelColor(gap) != TLCDScreen::kColor)
                        wrong += QStringLiteral("background at %1,%2; ").arg(gap.x()).arg(gap.y());
            }
    return wrong;
}

void setConfig(const TempDir& dir, const char* section, const char* key, int value) {
    TIniFile config(dir.file("Config.ini"));
    config.WriteInteger(section, key, value);
    config.UpdateFile();
}

int storedInt(const TempDir& dir, const char* section, const char* key) {
    return TIniFile(dir.file("Config.ini")).ReadInteger(section, key, -1);
}

int opacity(const QWidget& w) {
    return qRound(w.windowOpacity() * 255);
}

void sendOpacityNotice(QWidget& clock, qint64 on, qint64 value) {
    WindowMessage notice(kOpacityNotice, on, value);
    QCoreApplication::sendEvent(&clock, &notice);
}

QMouseEvent mouse(QEvent::Type type, QPoint global, Qt::MouseButton button,
                  Qt::MouseButtons buttons) {
    return QMouseEvent(type, QPointF(10, 10), QPointF(global), button, buttons, Qt::NoModifier);
}

} // namespace

class DesktopClockTest : public QObject {
    Q_OBJECT

    static TLCDScreen& display(TForm8& clock) { return *clock.findChild<TLCDScreen*>("viewtime"); }
    static QTimer& viewtimer(TForm8& clock) { return *clock.findChild<QTimer*>("viewtimer"); }

private slots:
    void initTestCase() { QApplication::setApplicationName("Kelvo"); }

    // Every character of the clock, five at a time, read back from the
    // display's pixels.
    void displayShowsTheClockCharacters() {
        TLCDScreen screen;
        const size_t n = std::size(kClockCharacters);
        for (size_t first = 0; first < n; first += 5) {
            QString text;
            for (size_t i = first; i < std::min(first + 5, n); ++i)
                text += kClockCharacters[i].code;
            screen.setText(text);
            const QImage image = screen.grab().toImage();
            for (int k = 0; k < text.size(); ++k) {
                const Picture& p = kClockCharacters[first + static_cast<size_t>(k)];
                QCOMPARE(shownPicture(image, k), expectedPicture(p));
            }
        }
    }

    void displayLightsTheDotsOfItsText() {
        TLCDScreen screen;
        QCOMPARE(screen.size(), QSize(182, 56));
        QCOMPARE(dotMismatches(screen, "12:34"), QString());
        QCOMPARE(dotMismatches(screen, "07 03"), QString());
        QCOMPARE(dotMismatches(screen, "7:3"), QString());
        QCOMPARE(dotMismatches(screen, "12:345"), QString());
    }

    void clockWindowLooksAsItShould() {
        TempDir dir;
        ManualClock time(kAt0703);
        TForm8 clock(DataPaths{dir.path()}, time);
        QCOMPARE(clock.windowTitle(), QStringLiteral("ViewTime"));
        QCOMPARE(clock.size(), QSize(179, 53));
        QVERIFY(clock.windowFlags().testFlags(Qt::Tool | Qt::FramelessWindowHint |
                                              Qt::WindowStaysOnTopHint));
        QCOMPARE(display(clock).geometry(), QRect(-1, -1, 182, 56));
        QCOMPARE(display(clock).text(), QStringLiteral("00:00"));
        QVERIFY(!viewtimer(clock).isActive());
        // No stored position and no translucency settings: top left corner,
        // translucent with 128.
        QCOMPARE(clock.pos(), QPoint(0, 0));
        QCOMPARE(opacity(clock), 128);
    }

    void colonBlinksWhileShownAndTimerRunsOnlyThen() {
        TempDir dir;
        ManualClock time(kAt0703);
        TForm8 clock(DataPaths{dir.path()}, time);
        clock.show();
        QCOMPARE(display(clock).text(), QStringLiteral("07:03"));
        QVERIFY(viewtimer(clock).isActive());
        clock.viewtimerTimer();
        QCOMPARE(display(clock).text(), QStringLiteral("07 03"));
        clock.viewtimerTimer();
        QCOMPARE(display(clock).text(), QStringLiteral("07:03"));
        time.set({Date{2024, 6, 3}, 23, 59});
        clock.viewtimerTimer();
        QCOMPARE(display(clock).text(), QStringLiteral("23 59"));

        clock.close();
        QVERIFY(!viewtimer(clock).isActive());
        time.set({Date{2024, 6, 4}, 0, 0});
        clock.show();
        QCOMPARE(display(clock).text(), QStringLiteral("00:00"));
        clock.viewtimerTimer();
        QCOMPARE(display(clock).text(), QStringLiteral("00 00"));
    }

    // Shown, it stands within the screen's work area; while a modal window
    // is open it stays below it, and goes on top again afterwards.
    void clockKeepsToTheWorkAreaAndBelowModalWindows() {
        TempDir dir;
        setConfig(dir, "TimeForm", "FormLeft", 100000);
        setConfig(dir, "TimeForm", "FormTop", -500);
        ManualClock time(kAt0703);
        TForm8 clock(DataPaths{dir.path()}, time);
        clock.show();
        const QRect area = clock.screen()->availableGeometry();
        QVERIFY(area.contains(clock.frameGeometry()));
        QCOMPARE(clock.frameGeometry().right(), area.right());

        QDialog modal;
        bool onTopWhileModal = true;
        bool shownWhileModal = false;
        QTimer::singleShot(0, &modal, [&] {
            QTRY_VERIFY(QApplication::activeModalWidget() == &modal);
            modal.activateWindow();
            QTRY_VERIFY(!clock.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            onTopWhileModal = clock.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            shownWhileModal = clock.isVisible();
            modal.reject();
        });
        modal.exec();
        QVERIFY(!onTopWhileModal);
        QVERIFY(shownWhileModal);
        clock.viewtimerTimer();
        QVERIFY(clock.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(clock.isVisible());
        QVERIFY(viewtimer(clock).isActive());
    }

    void translucencyFromSettingsAndNotice() {
        TempDir dir;
        ManualClock time(kAt0703);
        setConfig(dir, "Sys", "TimeFormABV", 300);
        TForm8 stored(DataPaths{dir.path()}, time);
        QCOMPARE(opacity(stored), 44); // the low 8 bits of 300

        setConfig(dir, "Sys", "TimeFormAB", 0);
        TForm8 clock(DataPaths{dir.path()}, time);
        QCOMPARE(opacity(clock), 255);
        sendOpacityNotice(clock, 1, 200);
        QCOMPARE(opacity(clock), 200);
        sendOpacityNotice(clock, 1, 0x10A);
        QCOMPARE(opacity(clock), 10);
        sendOpacityNotice(clock, 0, 0);
        QCOMPARE(opacity(clock), 255);
        sendOpacityNotice(clock, 2, 100);
        QCOMPARE(opacity(clock), 255);
    }

    void dragFollowsTheLeftButton() {
        TempDir dir;
        ManualClock time(kAt0703);
        setConfig(dir, "TimeForm", "FormLeft", 100);
        setConfig(dir, "TimeForm", "FormTop", 50);
        TForm8 clock(DataPaths{dir.path()}, time);
        QCOMPARE(clock.pos(), QPoint(100, 50));
        QWidget& screen = display(clock);
        auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button,
                        Qt::MouseButtons buttons) {
            QMouseEvent event = mouse(type, at, button, buttons);
            QCoreApplication::sendEvent(&screen, &event);
        };
        send(QEvent::MouseButtonPress, {110, 60}, Qt::RightButton, Qt::RightButton);
        send(QEvent::MouseMove, {150, 90}, Qt::NoButton, Qt::RightButton);
        send(QEvent::MouseButtonRelease, {150, 90}, Qt::RightButton, Qt::NoButton);
        QCOMPARE(clock.pos(), QPoint(100, 50));

        // Without a window manager's move the window follows the mouse.
        send(QEvent::MouseButtonPress, {110, 60}, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, {111, 60}, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(clock.pos(), QPoint(100, 50)); // a jitter is not a drag
        send(QEvent::MouseMove, {150, 90}, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseMove, {160, 95}, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, {160, 95}, Qt::LeftButton, Qt::NoButton);
        send(QEvent::MouseMove, {300, 300}, Qt::NoButton, Qt::NoButton);
        QCOMPARE(clock.pos(), QPoint(150, 85));
    }

    void trayItemShowsAndHidesTheClock() {
        TempDir dir;
        Run run(dir);
        run.window->show();
        TForm8& clock = run.dialogs.clock();
        QAction* t1 = run.action("T1");
        QVERIFY(!t1->isChecked());
        QVERIFY(!clock.isVisible());
        t1->trigger();
        QVERIFY(t1->isChecked());
        QVERIFY(clock.isVisible());
        QVERIFY(viewtimer(clock).isActive());
        QCOMPARE(display(clock).text(), QStringLiteral("08:29"));
        t1->trigger();
        QVERIFY(!t1->isChecked());
        QVERIFY(!clock.isVisible());
        QVERIFY(!viewtimer(clock).isActive());
        run.window->T1Click();
        QVERIFY(t1->isChecked());
        QVERIFY(clock.isVisible());
    }

    void doubleClickActsLikeTheShowMainWindowItem() {
        TempDir dir;
        Run run(dir);
        run.window->show(); // a first start leaves the main window shown
        run.action("T1")->trigger();
        QWidget& screen = display(run.dialogs.clock());
        QTest::mouseDClick(&screen, Qt::LeftButton);
        QVERIFY(run.window->hiddenInTray());
        QTest::mouseDClick(&screen, Qt::LeftButton);
        QVERIFY(!run.window->hiddenInTray());
        QVERIFY(run.window->isVisible());
    }

    void shownAtStartAndPositionStoredOnlyAtProgramEnd() {
        TempDir dir;
        firstStart(dir);
        QCOMPARE(storedInt(dir, "TimeForm", "FormLeft"), -1); // never shown, nothing stored
        setConfig(dir, "Sys", "ShowTimeForm", 1);
        {
            Run run(dir);
            run.window->show();
            TForm8& clock = run.dialogs.clock();
            QVERIFY(run.action("T1")->isChecked());
            QVERIFY(clock.isVisible());
            clock.move(140, 70);
            run.action("T1")->trigger();
            QVERIFY(!clock.isVisible());
            QCOMPARE(storedInt(dir, "TimeForm", "FormLeft"), -1);
            clock.move(150, 90);
        }
        QCOMPARE(storedInt(dir, "TimeForm", "FormLeft"), 150);
        QCOMPARE(storedInt(dir, "TimeForm", "FormTop"), 90);
        QCOMPARE(storedInt(dir, "Sys", "ShowTimeForm"), 0);

        Run again(dir);
        QCOMPARE(again.dialogs.clock().pos(), QPoint(150, 90));
    }
};

QTEST_MAIN(DesktopClockTest)
#include "DesktopClockTest.moc"
