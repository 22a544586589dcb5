#include "alerts/AlertSound.h"
#include "alerts/showmsg.h"
#include "core/Clock.h"
#include "storage/ConfigFile.h"
#include "storage/DataFile.h"
#include "storage/HandOff.h"
#include "storage/IniFile.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "widgets/MessageBox.h"
#include "widgets/Messages.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <memory>
#include <vector>

using namespace kelvo;

namespace {

// Stands in for the main window: records the command messages it receives
// and whether the sending popup was still open at that moment.
class Receiver : public QWidget {
public:
    struct Request {
        qint64 code;
        qint64 argument;
        bool senderVisible;
    };
    std::vector<Request> requests;
    QPointer<QWidget> sender;

    bool event(QEvent* e) override {
        if (e->type() != static_cast<QEvent::Type>(kMainCommand))
            return QWidget::event(e);
        const auto* message = static_cast<WindowMessage*>(e);
        requests.push_back({message->wParam(), message->lParam(), sender && sender->isVisible()});
        return true;
    }
};

const QString kTenSpaces(10, u' ');

} // namespace

class PopupTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> m_dir;
    std::unique_ptr<test::FakePlatform> m_fakes;
    std::unique_ptr<Receiver> m_main;
    DataPaths m_paths;

    void handOff(const std::string& msg, const std::string& music = "") {
        writeHandOff(m_paths.handOff(), {msg, music});
    }
    template <typename Setting, typename Value> void configure(const Setting& setting, Value v) {
        TIniFile config(m_paths.config());
        setting.write(config, v);
        config.UpdateFile();
    }
    // A popup for the item, shown the way the main window fires one.
    std::unique_ptr<TForm4> open(quint16 item, const std::string& msg,
                                 const std::string& music = "", const Clock* clock = nullptr) {
        handOff(msg, music);
        auto popup = std::make_unique<TForm4>(m_main.get(), item, m_paths, m_fakes->platform);
        if (clock)
            popup->setClock(*clock);
        m_main->sender = popup.get();
        popup->show();
        return popup;
    }
    template <typename T> static T* child(QObject& popup, const char* name) {
        T* found = popup.findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    static QString text(QObject& popup, const char* name) {
        return child<QWidget>(popup, name)->property("text").toString();
    }
    static bool visible(QObject& popup, const char* name) {
        return child<QWidget>(popup, name)->isVisible();
    }
    static QTextEdit* memo(QObject& popup) { return child<QTextEdit>(popup, "msg"); }
    static QString shownText(QObject& popup) { return memo(popup)->toPlainText(); }
    // A popup for a reminder that the main window fired with its due time.
    std::unique_ptr<TForm4> openDue(const std::string& msg, const DueTime& due) {
        handOff(msg);
        auto popup = std::make_unique<TForm4>(m_main.get(), 1, m_paths, m_fakes->platform);
        popup->setDue(due);
        m_main->sender = popup.get();
        popup->show();
        return popup;
    }

private slots:
    void initTestCase() { QApplication::setApplicationName("Kelvo"); }
    void init() {
        m_dir = std::make_unique<test::TempDir>();
        m_fakes = std::make_unique<test::FakePlatform>();
        m_main = std::make_unique<Receiver>();
        m_paths = DataPaths{m_dir->path()};
        TForm4::remindLaterMinutes = 5;
    }

    void showsTheReminderWithItsCaptions() {
        auto popup = open(1, "开会 in room 3");
        QCOMPARE(popup->size(), QSize(368, 197));
        QVERIFY(popup->windowFlags().testFlags(Qt::Tool | Qt::FramelessWindowHint |
                                               Qt::WindowStaysOnTopHint));
        QCOMPARE(shownText(*popup), QStringLiteral("开会 in room 3"));
        QVERIFY(visible(*popup, "msg"));
        QVERIFY(memo(*popup)->isReadOnly());
        QCOMPARE(text(*popup, "FlatSpeedButton2"), QStringLiteral("5分后提醒"));
        QCOMPARE(text(*popup, "FlatSpeedButton1"), QStringLiteral("关闭[&C]"));
        QCOMPARE(text(*popup, "docmd"), QStringLiteral("执行设定命令[&M]"));
        QVERIFY(!visible(*popup, "docmd"));
        QVERIFY(!visible(*popup, "closewin"));
        QVERIFY(!child<QTimer>(*popup, "closetimer")->isActive());
        QStringList menu;
        for (QAction* action : child<QMenu>(*popup, "PopupMenu1")->actions())
            menu << action->text();
        QCOMPARE(menu, QStringList({"1 分后提醒", "2 分后提醒", "5 分后提醒", "10分后提醒",
                                    "20分后提醒", "30分后提醒", "60分后提醒"}));
    }

    // The whole message, wrapped: the popup grows with it up to half the
    // screen's height and lets the rest scroll; the buttons stay at the
    // bottom, the remind-later choices among them.
    void longMessageIsShownWholeUpToHalfTheScreen() {
        const int half = QGuiApplication::primaryScreen()->availableGeometry().height() / 2;
        const QString longer = QStringLiteral("下午三点在五楼") + QString(200, u'会') +
                               QStringLiteral("带上去年的报告");
        auto popup = open(1, longer.toStdString());
        QTextEdit* text = memo(*popup);
        QCOMPARE(text->toPlainText(), longer);
        QVERIFY(popup->height() > 197);
        QVERIFY(popup->height() <= std::max(197, half));
        QVERIFY(!text->verticalScrollBar()->isVisible());
        // Every line lies within the message's area: the last one is seen.
        QVERIFY(text->document()->size().height() <= text->viewport()->height());
        QVERIFY(text->geometry().bottom() < child<QWidget>(*popup, "laterChoices")->y());
        auto* close = child<QWidget>(*popup, "FlatSpeedButton1");
        QCOMPARE(close->geometry().bottom(), popup->height() - 9);

        auto longest = open(2, QString(1000, u'长').toStdString());
        QCOMPARE(longest->height(), half);
        QVERIFY(memo(*longest)->verticalScrollBar()->isVisible());
        QTest::keyClick(memo(*longest), Qt::Key_PageDown);
        QVERIFY(memo(*longest)->verticalScrollBar()->value() > 0);
        QCOMPARE(shownText(*longest), QString(1000, u'长'));
    }

    // The time it was due before the message; an advance warning names the
    // time it warns of and how far ahead it is.
    void dueTimeStandsBeforeTheMessage() {
        auto onTime = openDue("部门周会", DueTime{9, 30, 0});
        QCOMPARE(shownText(*onTime), QStringLiteral("09:30 部门周会"));
        QTextCursor time(memo(*onTime)->document());
        time.movePosition(QTextCursor::Right);
        QCOMPARE(time.charFormat().fontWeight(), int(QFont::Bold));
        auto advance = openDue("提前提醒：部门周会", DueTime{9, 30, 10});
        QCOMPARE(shownText(*advance), QStringLiteral("提前提醒：09:30 部门周会（10 分钟后）"));
        auto early = openDue("提前提醒：早会", DueTime{0, 5, 5});
        QCOMPARE(shownText(*early), QStringLiteral("提前提醒：00:05 早会（5 分钟后）"));
    }

    // A warning days ahead names the days; an interval reminder fired again
    // into its open popup says how often, and the popup stays the one.
    void daysAheadAndRemindedAgain() {
        auto week = openDue("提前7天提醒：生日", DueTime{9, 0, 0, 7});
        QCOMPARE(shownText(*week), QStringLiteral("提前7天提醒：09:00 生日"));
        QVERIFY(!week->onTime());
        auto water = openDue("喝水", DueTime{9, 0, 0});
        QVERIFY(water->onTime());
        QCOMPARE(water->item(), quint16(1));
        water->remindAgain(DueTime{9, 45});
        water->remindAgain(DueTime{10, 30});
        QCOMPARE(shownText(*water), QStringLiteral("10:30 喝水（已经提醒 3 次）"));
        QVERIFY(water->isVisible());
    }

    // Beside the button and its menu, a row of choices: each minute button
    // sends its minutes, "明天同一时间" the minutes to this minute tomorrow.
    void remindLaterChoicesAreButtons() {
        const int minutes[] = {5, 10, 15, 30, 60};
        for (int m : minutes) {
            auto popup = open(7, "later");
            const QByteArray name = "later" + QByteArray::number(m);
            auto* button = child<QPushButton>(*popup, name.constData());
            QVERIFY(button->isVisible());
            QCOMPARE(button->text(), QStringLiteral("%1分").arg(m));
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(m_main->requests.back().argument, qint64(7 | (m << 16)));
            QVERIFY(!popup->isVisible());
        }
        QCOMPARE(m_main->requests.size(), std::size(minutes));

        // Shown at 09:00:20, chosen at 09:02:50: due again tomorrow at 09:00:20.
        ManualClock clock(DateTime{Date{2026, 12, 9}, 9, 0, 20});
        auto popup = open(7, "tomorrow", "", &clock);
        clock.set(DateTime{Date{2026, 12, 9}, 9, 2, 50});
        auto* tomorrow = child<QPushButton>(*popup, "laterTomorrow");
        QCOMPARE(tomorrow->text(), QStringLiteral("明天同一时间"));
        QTest::mouseClick(tomorrow, Qt::LeftButton);
        QCOMPARE(m_main->requests.back().argument, qint64(7 | (1438 << 16)));
        QVERIFY(!popup->isVisible());
    }

    // Digits typed at the popup (its message too) go to the field; Enter
    // sends them as minutes, or a time of day as the minutes until it. Text
    // that is neither is refused with a message and the popup stays.
    void typedChoiceGoesWithEnter() {
        ManualClock clock(DateTime{Date{2026, 12, 9}, 10, 0, 37});
        auto popup = open(4, "typed", "", &clock);
        QTest::keyClicks(popup.get(), "2");
        QTest::keyClicks(memo(*popup), "5");
        auto* field = child<QLineEdit>(*popup, "laterTyped");
        QCOMPARE(field->text(), QStringLiteral("25"));
        QCOMPARE(shownText(*popup), QStringLiteral("typed"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(m_main->requests.back().argument, qint64(4 | (25 << 16)));
        QVERIFY(!popup->isVisible());

        auto atTime = open(4, "at a time", "", &clock);
        QTest::keyClicks(atTime.get(), "14:30");
        QTest::keyClick(child<QLineEdit>(*atTime, "laterTyped"), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(m_main->requests.back().argument, qint64(4 | (270 << 16)));

        const size_t sent = m_main->requests.size();
        auto wrong = open(4, "wrong", "", &clock);
        QTest::keyClicks(wrong.get(), "99:99");
        MessageBox::setNextAnswer(MessageBox::Ok);
        QTest::keyClick(child<QLineEdit>(*wrong, "laterTyped"), Qt::Key_Return);
        QCOMPARE(MessageBox::lastBox().caption, QStringLiteral("输入错误"));
        QVERIFY(MessageBox::lastBox().text.contains(QStringLiteral("14:30")));
        QCOMPARE(m_main->requests.size(), sent);
        QVERIFY(wrong->isVisible());
    }

    void messageTakesNoTyping() {
        auto popup = open(1, "买菜：鸡蛋、牛奶、面包");
        QTest::keyClicks(memo(*popup), "typed");
        QCOMPARE(shownText(*popup), QStringLiteral("买菜：鸡蛋、牛奶、面包"));
    }

    void snoozeButtonSendsItemAndMinutesThenCloses() {
        TForm4::remindLaterMinutes = 17;
        auto popup = open(300, "tea");
        QCOMPARE(text(*popup, "FlatSpeedButton2"), QStringLiteral("17分后提醒"));
        QTest::mouseClick(child<QPushButton>(*popup, "FlatSpeedButton2"), Qt::LeftButton);
        QCOMPARE(m_main->requests.size(), size_t(1));
        const auto& request = m_main->requests.front();
        QCOMPARE(request.code, qint64(kCmdSnooze));
        QCOMPARE(request.argument & 0xFFFF, qint64(300));
        QCOMPARE(request.argument >> 16, qint64(17));
        QVERIFY2(request.senderVisible, "the request is handled before the popup closes");
        QVERIFY(!popup->isVisible());
    }

    // Reminders before the popup's are deleted while it is up: its snooze
    // follows the reminder to its new number; once its own reminder is
    // deleted it sends no item (which the main window drops).
    void snoozeFollowsTheReminderThroughDeletes() {
        auto popup = open(5, "follows");
        popup->itemDeleted(7);
        popup->itemDeleted(2);
        popup->itemDeleted(1);
        child<QAction>(*popup, "N11")->trigger();
        QCOMPARE(m_main->requests.back().argument, qint64(3 | (1 << 16)));

        auto gone = open(5, "gone");
        gone->itemDeleted(5);
        child<QAction>(*gone, "N11")->trigger();
        QCOMPARE(m_main->requests.back().argument & 0xFFFF, qint64(0));
    }

    void snoozeMenu_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("minutes");
        const std::pair<const char*, int> items[] = {{"N11", 1},   {"N21", 2},   {"N51", 5},
                                                     {"N101", 10}, {"N201", 20}, {"N301", 30},
                                                     {"N601", 60}};
        for (auto [name, minutes] : items)
            QTest::newRow(name) << QString::fromLatin1(name) << minutes;
    }
    void snoozeMenu() {
        QFETCH(QString, action);
        QFETCH(int, minutes);
        auto popup = open(4, "stretch");
        child<QAction>(*popup, action.toLatin1().constData())->trigger();
        QCOMPARE(m_main->requests.size(), size_t(1));
        QCOMPARE(m_main->requests.front().argument, qint64(4 | (minutes << 16)));
        QVERIFY(!popup->isVisible());
    }

    void commandTag_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("autoRun");
        QTest::addColumn<QStringList>("commandLines");
        QTest::addColumn<QStringList>("documents");
        QTest::addColumn<bool>("docmdShown");
        QTest::newRow("offered") << "[cmd:notepad.exe]" << false << QStringList() << QStringList()
                                 << true;
        QTest::newRow("run at once")
            << "[cmd:notepad.exe]" << true << QStringList{"notepad.exe"} << QStringList() << false;
        QTest::newRow("opened at once")
            << "[cmo:https://example.org/会议] for the meeting" << true << QStringList()
            << QStringList{"https://example.org/会议 for the meeting"} << false;
        // Neither a file nor an address: nothing to open (no http://report.doc).
        QTest::newRow("no such file")
            << "[cmo:report.doc]" << true << QStringList() << QStringList() << false;
        QTest::newRow("upper case is no tag")
            << "[CMD:notepad.exe]" << true << QStringList() << QStringList() << false;
    }
    void commandTag() {
        QFETCH(QString, message);
        QFETCH(bool, autoRun);
        QFETCH(QStringList, commandLines);
        QFETCH(QStringList, documents);
        QFETCH(bool, docmdShown);
        configure(settings::AutoRunCmd, autoRun);
        auto popup = open(1, message.toStdString());
        QCOMPARE(visible(*popup, "docmd"), docmdShown);
        QCOMPARE(m_fakes->shell.commandLines, commandLines);
        QCOMPARE(m_fakes->shell.documents, documents);
    }

    void soundChoice_data() {
        QTest::addColumn<QString>("own");
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("played");
        QTest::newRow("own sound") << "own.wav"
                                   << "sys.wav"
                                   << "own.wav";
        QTest::newRow("system sound") << ""
                                      << "sys.wav"
                                      << "sys.wav";
        QTest::newRow("none: beep") << ""
                                    << ""
                                    << "";
        QTest::newRow("own missing: beep") << "gone.wav"
                                           << "sys.wav"
                                           << "";
        QTest::newRow("system missing: beep") << ""
                                              << "gone.wav"
                                              << "";
    }
    void soundChoice() {
        QFETCH(QString, own);
        QFETCH(QString, system);
        QFETCH(QString, played);
        m_dir->write("own.wav", "RIFF");
        m_dir->write("sys.wav", "RIFF");
        const auto path = [&](const QString& name) {
            return name.isEmpty() ? std::string() : m_dir->file(name.toStdString());
        };
        configure(settings::Music, path(system));
        auto popup = open(1, "listen", path(own));
        if (played.isEmpty()) {
            QCOMPARE(m_fakes->sound.beeps, 1);
            QVERIFY(m_fakes->sound.played.isEmpty());
        } else {
            QCOMPARE(m_fakes->sound.beeps, 0);
            QCOMPARE(m_fakes->sound.played, QStringList{QString::fromStdString(path(played))});
        }
        popup->close();
        QCOMPARE(m_fakes->sound.stopped, played.isEmpty() ? 0 : 1);
    }

    // A sound that cannot be played beeps once; the first failure of the run
    // is told in the tray with the file and the reason, later ones are not.
    void unplayableSoundBeepsAndIsToldOnce() {
        AlertSound::forgetToldFailure();
        m_dir->write("broken.mp3", "junk");
        m_fakes->sound.playable = false;
        const QString file = QString::fromStdString(m_dir->file("broken.mp3"));
        auto popup = open(1, "quiet", file.toStdString());
        QCOMPARE(m_fakes->sound.played.size(), 1);
        QCOMPARE(m_fakes->sound.beeps, 1);
        QCOMPARE(m_fakes->tray.balloons.size(), size_t(1));
        QCOMPARE(m_fakes->tray.balloons[0].text,
                 QStringLiteral("无法播放提醒铃声：%1（不支持的格式）").arg(file));
        popup->close();
        auto again = open(1, "quiet", file.toStdString());
        QCOMPARE(m_fakes->sound.beeps, 2);
        QCOMPARE(m_fakes->tray.balloons.size(), size_t(1));
    }

    // With 重复播放直到关闭 the sound repeats until the popup closes.
    void soundRepeatsUntilClosedWhenChosen() {
        m_dir->write("own.wav", "RIFF");
        configure(settings::RepeatSound, true);
        auto popup = open(1, "loud", m_dir->file("own.wav"));
        QCOMPARE(m_fakes->sound.repeated, QList<bool>{true});
        QCOMPARE(m_fakes->sound.stopped, 0);
        popup->close();
        QCOMPARE(m_fakes->sound.stopped, 1);
    }

    // What hides or reorders text is shown plainly; the memo and the tool tip
    // show the same, and docmd says what it will run.
    void hiddenCommandsAndReversedTextAreShown() {
        const std::string message = "备份" + std::string(600, ' ') + "[cmd:sh -c \"rm x\"]\u202E";
        auto popup = open(1, message);
        const QString shown = QStringLiteral("备份␣×600[cmd:sh -c \"rm x\"]<U+202E>");
        QCOMPARE(shownText(*popup), shown);
        QVERIFY(visible(*popup, "docmd"));
        QCOMPARE(child<QWidget>(*popup, "docmd")->toolTip(),
                 QStringLiteral("将执行命令：sh -c \"rm x\"<U+202E>"));
        QVERIFY(m_fakes->shell.commandLines.isEmpty());
    }

    // An imported command that nobody confirmed is offered, even with
    // AutoRunCmd on; once run by hand it runs by itself from then on.
    void importedCommandRunsByItselfOnlyAfterItRanByHand() {
        configure(settings::AutoRunCmd, true);
        m_dir->write("DataFile.dat", "[Main]\r\nItems=1\r\n[Item1]\r\nMessage=[cmd:backup]\r\n"
                                     "Imported=1\r\n");
        auto first = open(1, "[cmd:backup]");
        QVERIFY(m_fakes->shell.commandLines.isEmpty());
        QVERIFY(visible(*first, "docmd"));
        QTest::mouseClick(child<QPushButton>(*first, "docmd"), Qt::LeftButton);
        QCOMPARE(m_fakes->shell.commandLines, QStringList{"backup"});
        first->close();
        QCOMPARE(readImported(TIniFile(m_paths.dataFile()), 1), Imported::Confirmed);
        auto second = open(1, "[cmd:backup]");
        QCOMPARE(m_fakes->shell.commandLines, (QStringList{"backup", "backup"}));
        QVERIFY(!visible(*second, "docmd"));
    }

    void autoCloseCountsDownAndStoresPosition() {
        configure(settings::AutoCloseShowBox, true);
        configure(settings::AutoCloseShowBoxMin, 10);
        auto popup = open(1, "soon gone");
        auto* label = child<QLabel>(*popup, "closewin");
        auto* timer = child<QTimer>(*popup, "closetimer");
        QVERIFY(label->isVisible());
        QCOMPARE(label->text(), "本窗口将在10秒之后自动关闭" + kTenSpaces);
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 1000);
        popup->move(210, 140);
        for (int tick = 1; tick < 10; ++tick)
            popup->closetimerTimer();
        QCOMPARE(label->text(), "本窗口将在1秒之后自动关闭" + kTenSpaces);
        QVERIFY(popup->isVisible());
        popup->closetimerTimer();
        QVERIFY(!popup->isVisible());
        QVERIFY(!timer->isActive());
        QCOMPARE(readWindowPos(TIniFile(m_paths.config()), positions::ShowMsg),
                 (WindowPos{210, 140}));
    }

    void nextPopupOpensWhereTheLastClosed() {
        {
            TIniFile config(m_paths.config());
            writeWindowPos(config, positions::ShowMsg, {120, 80});
            config.UpdateFile();
        }
        auto first = open(1, "first");
        QCOMPARE(first->pos(), QPoint(120, 80));
        first->move(333, 222);
        QTest::mouseClick(child<QPushButton>(*first, "SpeedButton1"), Qt::LeftButton);
        QVERIFY(!first->isVisible());
        auto second = open(2, "second");
        QCOMPARE(second->pos(), QPoint(333, 222));
    }

    void draggingTheTitleStripMovesTheWindow() {
        auto popup = open(1, "drag me");
        popup->move(100, 100);
        auto* strip = child<QLabel>(*popup, "Image1");
        const QPoint start = strip->mapToGlobal(QPoint(50, 10));
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(50, 10), start, Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(strip, &press);
        QMouseEvent drag(QEvent::MouseMove, QPointF(80, 30), start + QPoint(30, 20), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(strip, &drag);
        QCOMPARE(popup->pos(), QPoint(130, 120));
    }

    // A press on the window itself starts the drag at once: even a one-pixel
    // motion moves it; after the release the mouse no longer carries it.
    void draggingTheWindowStartsAtThePressAndEndsAtTheRelease() {
        auto popup = open(1, "drag me");
        popup->move(100, 100);
        const QPoint start = popup->mapToGlobal(QPoint(5, 190));
        auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button,
                        Qt::MouseButtons buttons) {
            QMouseEvent event(type, QPointF(popup->mapFromGlobal(at)), at, button, buttons,
                              Qt::NoModifier);
            QApplication::sendEvent(popup.get(), &event);
        };
        send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, start + QPoint(1, 0), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(popup->pos(), QPoint(101, 100));
        send(QEvent::MouseButtonRelease, start + QPoint(1, 0), Qt::LeftButton, Qt::NoButton);
        send(QEvent::MouseMove, start + QPoint(40, 40), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(popup->pos(), QPoint(101, 100));
    }

    // Each popup keeps its own reminder: an earlier popup, once uncovered,
    // still snoozes and runs the reminder it was opened for.
    void stackedPopupsKeepTheirOwnReminders() {
        auto a = open(1, "[cmo:https://example.org/alpha]");
        auto b = open(2, "[cmd:beta]");
        QTest::mouseClick(child<QPushButton>(*a, "docmd"), Qt::LeftButton);
        QCOMPARE(m_fakes->shell.documents, QStringList{"https://example.org/alpha"});
        QVERIFY(m_fakes->shell.commandLines.isEmpty());
        QCOMPARE(shownText(*a), QStringLiteral("[cmo:https://example.org/alpha]"));
        m_main->sender = a.get();
        QTest::mouseClick(child<QPushButton>(*a, "FlatSpeedButton2"), Qt::LeftButton);
        QCOMPARE(m_main->requests.back().argument & 0xFFFF, qint64(1));
        QVERIFY(!a->isVisible());
        QVERIFY(b->isVisible());
        m_main->sender = b.get();
        child<QAction>(*b, "N21")->trigger();
        QCOMPARE(m_main->requests.back().argument, qint64(2 | (2 << 16)));
    }

    void escapeClosesLikeAnyOtherWay() {
        auto popup = open(1, "esc");
        popup->move(44, 55);
        QTest::keyClick(popup.get(), Qt::Key_Escape);
        QVERIFY(!popup->isVisible());
        QCOMPARE(readWindowPos(TIniFile(m_paths.config()), positions::ShowMsg),
                 (WindowPos{44, 55}));
    }

    // The user's own close is told to the main window as a dismissal; the
    // countdown's and one for a dismissal on another computer are none.
    void onlyTheUsersCloseIsADismissal() {
        auto byUser = open(4, "closed");
        QTest::keyClick(byUser.get(), Qt::Key_Escape);
        QCOMPARE(m_main->requests.size(), size_t(1));
        QCOMPARE(m_main->requests.back().code, qint64(kCmdDismissed));
        QCOMPARE(m_main->requests.back().argument, qint64(4));
        auto elsewhere = open(5, "withdrawn");
        elsewhere->withdraw();
        QVERIFY(!elsewhere->isVisible());
        configure(settings::AutoCloseShowBox, true);
        configure(settings::AutoCloseShowBoxMin, 10);
        auto counted = open(6, "counted");
        for (int tick = 0; tick < 10; ++tick)
            counted->closetimerTimer();
        QVERIFY(!counted->isVisible());
        QCOMPARE(m_main->requests.size(), size_t(1));
    }

    void failedPositionWriteIsReportedAndThePopupStillCloses() {
        // A directory where Config.ini should be: reads give the defaults,
        // the write cannot replace it.
        QVERIFY(QDir(QString::fromStdString(m_dir->path())).mkdir("Config.ini"));
        auto popup = open(1, "x");
        const int boxes = MessageBox::boxCount();
        MessageBox::setNextAnswer(MessageBox::Ok);
        popup->close();
        QCOMPARE(MessageBox::boxCount(), boxes + 1);
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::Critical);
        QCOMPARE(MessageBox::lastBox().caption, QStringLiteral("Kelvo"));
        QVERIFY(MessageBox::lastBox().text.contains("Config.ini"));
        QVERIFY(!popup->isVisible());
    }
};

QTEST_MAIN(PopupTest)
#include "PopupTest.moc"
