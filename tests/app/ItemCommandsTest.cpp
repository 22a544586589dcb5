#include <QCoreApplication>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include "editors/SearchForm.h"
#include "editors/edititem.h"
#include "editors/newitem.h"
#include "editors/viewitem.h"
#include "reminders/ReminderEngine.h"
#include "storage/ConfigFile.h"
#include "storage/DataFile.h"
#include "storage/HandOff.h"
#include "storage/IniFile.h"
#include "support/ProgramRun.h"
#include "widgets/MessageBox.h"
#include "widgets/Messages.h"

#include <fstream>

using namespace kelvo;
using namespace kelvo::test;

namespace {

using Snooze = ReminderEngine::SnoozeEntry;

// A started program with three reminders "一", "二", "三".
struct ThreeItems {
    TempDir dir;
    std::unique_ptr<Run> run;

    ThreeItems() {
        writeItems(dir, {item(9, 0, 0, "一"), item(10, 0, 0, "二"), item(11, 0, 0, "三")});
        run = std::make_unique<Run>(dir);
        run->window->show();
    }
    QPushButton* button(const char* name) const {
        return run->window->findChild<QPushButton*>(name);
    }
    void select(int position) const { run->list().setCurrentRow(position); }
    QStringList lines() const { return run->list().lines(); }
    void snooze(int item, int minutes) { run->command(kCmdSnooze, item | (minutes << 16)); }
};

bool endsWith(const QString& line, const char* message) {
    return line.endsWith(QString::fromUtf8(message));
}

// Acts on a modal dialog once it is up.
void whenShown(QWidget& dialog, std::function<void()> act) {
    QTimer::singleShot(0, &dialog, [&dialog, act] {
        QTRY_VERIFY(dialog.isVisible());
        act();
    });
}

} // namespace

class ItemCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setApplicationName("Kelvo"); }

    void deleteAsksWithNoAsDefaultAndNoKeepsEverything() {
        ThreeItems p;
        p.select(1);
        const std::string before = p.dir.read("DataFile.dat");
        MessageBox::setNextAnswer(MessageBox::No);
        p.button("FlatSpeedButton3")->click();
        QCOMPARE(MessageBox::lastBox().caption, "确认");
        QCOMPARE(MessageBox::lastBox().text, "真的要删除“二”吗？");
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::Question);
        QCOMPARE(MessageBox::lastBox().buttons, MessageBox::Yes | MessageBox::No);
        QCOMPARE(MessageBox::lastBox().defaultButton, MessageBox::No);
        QCOMPARE(p.dir.read("DataFile.dat"), before);
        QCOMPARE(p.lines().size(), 3);
    }

    void deleteKeepsTheSelectionAtItsPosition() {
        ThreeItems p;
        p.select(1);
        MessageBox::setNextAnswer(MessageBox::Yes);
        p.button("FlatSpeedButton3")->click();
        QCOMPARE(p.lines().size(), 2);
        QVERIFY(endsWith(p.lines()[1], "三"));
        QCOMPARE(p.run->list().currentRow(), 1);
        QCOMPARE(TIniFile(p.run->paths.dataFile()).ReadInteger("Main", "Items", -1), 2);

        // Again: now the reminder that followed; then nothing is selected.
        MessageBox::setNextAnswer(MessageBox::Yes);
        p.button("FlatSpeedButton3")->click();
        QCOMPARE(p.lines().size(), 1);
        QVERIFY(endsWith(p.lines()[0], "一"));
        const int boxes = MessageBox::boxCount();
        p.button("FlatSpeedButton3")->click();
        QCOMPARE(MessageBox::boxCount(), boxes);
        QCOMPARE(p.lines().size(), 1);
    }

    void deleteRenumbersTheSnoozeQueue() {
        ThreeItems p;
        const int64_t t = p.run->clock.read().utcSeconds;
        p.snooze(3, 5);
        p.snooze(2, 6);
        p.snooze(3, 7);
        p.snooze(1, 8);
        p.select(1);
        MessageBox::setNextAnswer(MessageBox::Yes);
        p.button("FlatSpeedButton3")->click();
        QCOMPARE(p.run->window->engine().snoozeQueue(),
                 (std::vector<Snooze>{{t + 5 * 60, 2}, {t + 7 * 60, 2}, {t + 8 * 60, 1}}));
    }

    // A delete handed over from outside: no question, highest first, the
    // queue renumbered as by the command; a number not in the list deletes
    // nothing.
    void deleteFromOutsideAsksNothingAndRenumbersTheQueue() {
        ThreeItems p;
        const int64_t t = p.run->clock.read().utcSeconds;
        p.snooze(3, 5);
        p.snooze(2, 6);
        p.snooze(1, 7);
        const int boxes = MessageBox::boxCount();
        QCOMPARE(p.run->window->deleteItems({4}),
                 std::string("there is no reminder 4 (there are 3)"));
        QCOMPARE(p.lines().size(), 3);
        QCOMPARE(p.run->window->deleteItems({1, 2}), std::string());
        QCOMPARE(MessageBox::boxCount(), boxes);
        QCOMPARE(p.lines().size(), 1);
        QVERIFY(endsWith(p.lines()[0], "三"));
        QCOMPARE(p.run->window->engine().snoozeQueue(), (std::vector<Snooze>{{t + 5 * 60, 1}}));
        QCOMPARE(TIniFile(p.run->paths.dataFile()).ReadInteger("Main", "Items", -1), 1);
    }

    void oneReminderCommandsDoNothingWithoutASelection() {
        ThreeItems p;
        p.run->list().clearSelection();
        const std::string data = p.dir.read("DataFile.dat");
        const int boxes = MessageBox::boxCount();
        for (const char* command : {"FlatSpeedButton3", "FlatSpeedButton5", "FlatSpeedButton4"})
            p.button(command)->click();
        QCOMPARE(MessageBox::boxCount(), boxes);
        QVERIFY(!std::filesystem::exists(p.run->paths.handOff()));
        QCOMPARE(p.dir.read("DataFile.dat"), data);
    }

    void editOfAFiredItemStoresItDueAgainAndReloads() {
        ThreeItems p;
        p.run->clock.set({kMonday0829.date, 10, 0});
        PopupAnswerer answerer;
        p.run->window->gtimerTimer();
        QTRY_COMPARE(answerer.messages, QStringList{"二"});
        QCOMPARE(TIniFile(p.run->paths.dataFile()).ReadBool("Item2", "ReMinded", false), true);

        p.select(1);
        TForm6& edit = p.run->dialogs.edit();
        whenShown(edit, [&] {
            edit.findChild<QLineEdit*>("setmsg")->setText("二改");
            edit.findChild<QPushButton*>("FlatSpeedButton1")->click();
        });
        p.button("FlatSpeedButton5")->click();
        QCOMPARE(readHandOffItem(p.run->paths.handOff(), handoff::Edit), 2);
        const TIniFile data(p.run->paths.dataFile());
        QCOMPARE(data.ReadString("Item2", "ReMinded", ""), "0");
        QVERIFY(endsWith(p.lines()[1], "二改"));
        QCOMPARE(p.run->list().currentRow(), 1);
    }

    void viewShowsTheSelectedItem() {
        ThreeItems p;
        p.select(2);
        TForm3& view = p.run->dialogs.view();
        QString shown;
        whenShown(view, [&] {
            shown = view.findChild<QLineEdit*>("FlatEdit7")->text();
            view.findChild<QPushButton*>("FlatSpeedButton1")->click();
        });
        p.button("FlatSpeedButton4")->click();
        QCOMPARE(readHandOffItem(p.run->paths.handOff(), handoff::View), 3);
        QCOMPARE(shown, "三");
    }

    // Enter views, Delete asks before deleting, Insert adds, a double click
    // edits; each line's tool tip is its whole text.
    void theListsKeysAndDoubleClick() {
        ThreeItems p;
        auto* list = p.run->window->findChild<QListView*>("eventlist");
        // The key goes to the list with the focus in the active main window,
        // as after the user's click (a closed dialog hands back nothing
        // here); a dialog it opens is then answered.
        const auto press = [&](QKeyCombination key, QWidget* dialog = nullptr) {
            p.run->window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(p.run->window.get()));
            list->setFocus();
            if (dialog)
                whenShown(*dialog, [dialog] { dialog->close(); });
            QTest::keyClick(list, key.key(), key.keyboardModifiers());
        };
        TForm3& view = p.run->dialogs.view();
        p.select(2);
        press(Qt::Key_Return, &view);
        QCOMPARE(readHandOffItem(p.run->paths.handOff(), handoff::View), 3);
        p.select(1);
        press(Qt::Key_Enter | Qt::KeypadModifier, &view);
        QCOMPARE(readHandOffItem(p.run->paths.handOff(), handoff::View), 2);

        const int boxes = MessageBox::boxCount();
        MessageBox::setNextAnswer(MessageBox::No);
        press(Qt::Key_Delete);
        QCOMPARE(MessageBox::boxCount(), boxes + 1);
        QCOMPARE(MessageBox::lastBox().text, "真的要删除“二”吗？");
        QCOMPARE(p.lines().size(), 3);

        TForm2& add = p.run->dialogs.newItem();
        QSignalSpy added(&add, &QDialog::finished);
        press(Qt::Key_Insert, &add);
        QCOMPARE(added.count(), 1);

        TForm6& edit = p.run->dialogs.edit();
        whenShown(edit, [&] { edit.close(); });
        const QModelIndex first = list->model()->index(0, 0);
        const QPoint at = list->visualRect(first).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          at); // the press a double click follows
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(readHandOffItem(p.run->paths.handOff(), handoff::Edit), 1);

        // The whole line, and below it when the reminder fires next.
        const QStringList next{"09:00", "10:00", "11:00"};
        for (int row = 0; row < 3; ++row)
            QCOMPARE(list->model()->index(row, 0).data(Qt::ToolTipRole).toString(),
                     p.lines()[row] + "\n下次提醒：2024年6月3日 " + next[row]);
    }

    // Ctrl+Z puts the reminder deleted last back, every key as it was, as the
    // last line; a second Ctrl+Z has nothing left to undo.
    void undoBringsTheDeletedReminderBack() {
        ThreeItems p;
        {
            TIniFile data(p.run->paths.dataFile());
            data.WriteString("Item2", "Music", "/home/u/铃.mp3");
            data.WriteString("Item2", "Uid", "abc@example");
            data.UpdateFile();
        }
        p.run->window->reloadList();
        const ItemKeys before = readItemKeys(TIniFile(p.run->paths.dataFile()), 2);
        const QString longName = QString(70, u'长');
        p.select(1);
        MessageBox::setNextAnswer(MessageBox::Yes);
        p.button("FlatSpeedButton3")->click();
        QCOMPARE(p.lines().size(), 2);

        p.run->window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(p.run->window.get()));
        QTest::keyClick(p.run->window.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(p.lines().size(), 3);
        QVERIFY(endsWith(p.lines()[2], "二"));
        QCOMPARE(p.run->list().currentRow(), 2);
        QCOMPARE(readItemKeys(TIniFile(p.run->paths.dataFile()), 3), before);
        QTest::keyClick(p.run->window.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(p.lines().size(), 3);

        // A long message is named by its beginning.
        {
            TIniFile data(p.run->paths.dataFile());
            data.WriteString("Item1", "Message", longName.toStdString());
            data.UpdateFile();
        }
        p.run->window->reloadList();
        p.select(0);
        MessageBox::setNextAnswer(MessageBox::No);
        p.button("FlatSpeedButton3")->click();
        QCOMPARE(MessageBox::lastBox().text, "真的要删除“" + longName.left(60) + "…”吗？");
    }

    // Ctrl+N adds, Ctrl+F searches and F1 helps from anywhere in the window.
    void windowKeysAddSearchAndHelp() {
        ThreeItems p;
        p.dir.write("KelvoHelp.htm", "<html></html>");
        p.run->window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(p.run->window.get()));
        TForm2& add = p.run->dialogs.newItem();
        QSignalSpy added(&add, &QDialog::finished);
        whenShown(add, [&add] { add.reject(); });
        QTest::keyClick(p.run->window.get(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(added.count(), 1);

        p.run->window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(p.run->window.get()));
        QTest::keyClick(p.run->window.get(), Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(p.run->dialogs.search().isVisible());
        p.run->dialogs.search().close();

        p.run->window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(p.run->window.get()));
        QTest::keyClick(p.run->window.get(), Qt::Key_F1);
        QCOMPARE(p.run->fake.shell.documents, QStringList{p.dir.file("KelvoHelp.htm").c_str()});
    }

    void helpOpensThePageOrSaysItIsMissing() {
        ThreeItems p;
        MessageBox::setNextAnswer(MessageBox::Ok);
        p.button("FlatSpeedButton7")->click();
        QCOMPARE(p.run->fake.shell.documents, QStringList{});
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::NoIcon);
        QCOMPARE(MessageBox::lastBox().caption, "Kelvo");
        QCOMPARE(MessageBox::lastBox().text, "出错\n\n    帮助文件未找到！          ");
        QCOMPARE(MessageBox::lastBox().buttons, int(MessageBox::Ok));

        p.dir.write("KelvoHelp.htm", "<html><body><h1>帮助</h1></body></html>");
        p.run->action("H1")->trigger();
        QCOMPARE(p.run->fake.shell.documents,
                 QStringList{QString::fromStdString(p.dir.file("KelvoHelp.htm"))});
        QVERIFY(!p.run->window->findChild<QTextBrowser*>("helpBrowser"));
    }

    // A desktop without a program for the page: the program's own window
    // shows it, read-only, and a second help command brings up the same one.
    void helpWithoutADesktopProgramShowsItsOwnWindow() {
        ThreeItems p;
        p.dir.write("KelvoHelp.htm", "<html><body><h1>帮助</h1><p>提醒</p></body></html>");
        p.run->fake.shell.opens = false;
        const int boxes = MessageBox::boxCount();
        p.button("FlatSpeedButton7")->click();
        auto* browser = p.run->window->findChild<QTextBrowser*>("helpBrowser");
        QVERIFY(browser);
        QVERIFY(browser->isVisible() && browser->isWindow() && browser->isReadOnly());
        QVERIFY(browser->toPlainText().contains("提醒"));
        p.run->action("H1")->trigger();
        QCOMPARE(p.run->window->findChildren<QTextBrowser*>().size(), 1);
        QCOMPARE(MessageBox::boxCount(), boxes);
        // In the middle of the screen; Escape closes it.
        const QRect area = browser->screen()->availableGeometry();
        QVERIFY(qAbs(browser->frameGeometry().center().x() - area.center().x()) <= 2);
        QVERIFY(qAbs(browser->frameGeometry().center().y() - area.center().y()) <= 2);
        browser->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(browser));
        QTest::keyClick(browser, Qt::Key_Escape);
        QVERIFY(!browser->isVisible());
    }

    // No placeholder site: the tray offers no home page, the about box
    // names none, and its maker is the watermark's.
    void aboutNamesTheMakerOfTheWatermarkAndNoSite() {
        ThreeItems p;
        QStringList captions;
        for (QAction* action : p.run->window->findChild<QMenu*>("PopupMenu1")->actions())
            captions << action->text();
        QCOMPARE(captions, QStringList({"显示主界面[&S]", "添加提醒[&N]", "显示  时间[&T]",
                                        "暂停  提醒[&P]", "开机自运行[&R]", "关于本软件[&A]",
                                        "帮助  信息[&H]", "", "退出程序[&E]"}));
        MessageBox::setNextAnswer(MessageBox::Ok);
        p.run->action("A1")->trigger();
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::Information);
        const QString about = MessageBox::lastBox().text;
        QVERIFY(!about.contains("http"));
        const QString maker = p.run->window->findChild<QLabel*>("Label1")->text();
        QCOMPARE(maker, QStringLiteral("Kelvo 项目组"));
        QVERIFY(about.contains(QStringLiteral("开发：") + maker));
        QVERIFY(p.run->fake.shell.documents.isEmpty());
    }

    // Kelvo is updated with the system's packages; the box says so and
    // which version is installed. An upgrade program beside it would run.
    void upgradeSaysThePackagesUpdateKelvo() {
        ThreeItems p;
        const QString upgrade =
            QDir(QCoreApplication::applicationDirPath()).filePath("AutoUpdate.exe");
        QVERIFY(!QFileInfo::exists(upgrade));
        MessageBox::setNextAnswer(MessageBox::Ok);
        p.button("FlatSpeedButton8")->click();
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::Information);
        QCOMPARE(MessageBox::lastBox().caption, QStringLiteral("在线升级"));
        QVERIFY(MessageBox::lastBox().text.contains(QStringLiteral("系统的软件包")));
        QVERIFY(MessageBox::lastBox().text.endsWith(QStringLiteral("已安装的版本：1.00.003")));
        QVERIFY(p.run->fake.shell.documents.isEmpty());
    }

    // The tray menu's 添加提醒 opens the add dialog, as the button does.
    void trayAddOpensTheAddDialog() {
        ThreeItems p;
        TForm2& dialog = p.run->dialogs.newItem();
        bool shown = false;
        QTimer::singleShot(0, &dialog, [&dialog, &shown] {
            shown = dialog.isVisible();
            dialog.reject();
        });
        p.run->action("N4")->trigger();
        QVERIFY(shown);
    }

    void pauseStopsTheMinuteCheckButSnoozesFire() {
        ThreeItems p;
        QAction* P1 = p.run->action("P1");
        auto* gtimer = p.run->window->findChild<QTimer*>("gtimer");

        MessageBox::setNextAnswer(MessageBox::No);
        P1->trigger();
        QCOMPARE(MessageBox::lastBox().caption, "暂停确认");
        QCOMPARE(MessageBox::lastBox().text, "真的要暂停提醒吗？");
        QCOMPARE(MessageBox::lastBox().defaultButton, MessageBox::No);
        QVERIFY(!P1->isChecked());
        QVERIFY(gtimer->isActive());

        MessageBox::setNextAnswer(MessageBox::Yes);
        P1->trigger();
        QVERIFY(P1->isChecked());
        QVERIFY(!gtimer->isActive());

        PopupAnswerer answerer;
        p.snooze(3, 1);
        p.run->clock.advanceMinutes(1);
        p.run->window->retimerTimer();
        QTRY_COMPARE(answerer.messages, QStringList{"三"});

        const int boxes = MessageBox::boxCount();
        P1->trigger(); // resuming asks nothing
        QCOMPARE(MessageBox::boxCount(), boxes);
        QVERIFY(!P1->isChecked());
        QVERIFY(gtimer->isActive());
    }

    // While reminding is paused the tray says so and its icon is greyed;
    // resuming brings back the usual tip (with today's lunar date) and icon.
    void pausedRemindersShowInTheTray() {
        ThreeItems p;
        QAction* P1 = p.run->action("P1");
        const FakeTray& tray = p.run->fake.tray;
        const QString usual = tray.toolTip;
        QVERIFY(usual.startsWith("Kelvo\n农历"));
        QVERIFY(!tray.paused);

        MessageBox::setNextAnswer(MessageBox::No);
        P1->trigger();
        QCOMPARE(tray.toolTip, usual);
        QVERIFY(!tray.paused);

        MessageBox::setNextAnswer(MessageBox::Yes);
        P1->trigger();
        QCOMPARE(tray.toolTip.section('\n', 0, 0), "Kelvo（提醒已暂停）");
        QCOMPARE(tray.toolTip.section('\n', 1), usual.section('\n', 1));
        QVERIFY(tray.paused);

        // Past midnight the paused tip names the new lunar day.
        auto* tipTimer = p.run->window->findChild<QTimer*>("pausedTipTimer");
        QVERIFY(tipTimer->isActive());
        const DateTime now = p.run->clock.now();
        const int toMidnight = 24 * 3600 - (now.hour * 3600 + now.minute * 60 + now.second);
        QVERIFY(std::abs(tipTimer->remainingTime() - (toMidnight + 1) * 1000) < 1000);
        p.run->clock.set({addDays(now.date, 1), 0, 0, 1});
        tipTimer->start(0); // its midnight is now
        QTRY_VERIFY(tray.toolTip.section('\n', 1) != usual.section('\n', 1));
        QCOMPARE(tray.toolTip.section('\n', 0, 0), "Kelvo（提醒已暂停）");
        QVERIFY(tipTimer->remainingTime() > 23 * 3600 * 1000); // the next midnight

        P1->trigger();
        QVERIFY(tray.toolTip.startsWith("Kelvo\n农历"));
        QVERIFY(!tipTimer->isActive());
        QVERIFY(!tray.paused);
    }

    // The list's context menu on the line under the mouse: skip the next
    // occurrence, pause until a day asked for (one that has come is refused),
    // resume. The line and its tool tip tell what comes next; the file keeps it.
    void skipPauseAndResumeFromTheListMenu() {
        ThreeItems p;
        auto* view = p.run->window->findChild<QListView*>("eventlist");
        auto* menu = p.run->window->findChild<QMenu*>("listMenu");
        const auto stored = [&] {
            return TIniFile(p.run->paths.dataFile()).ReadString("Item1", "NotBefore", "(none)");
        };
        emit view->customContextMenuRequested(
            view->visualRect(view->model()->index(0, 0)).center());
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(p.run->list().currentRow(), 0);
        QVERIFY(p.run->action("skipNext")->isEnabled());
        QVERIFY(!p.run->action("resumeItem")->isEnabled());
        menu->hide();

        p.run->action("skipNext")->trigger();
        QCOMPARE(stored(), "2024-06-03 09:01");
        QVERIFY(endsWith(p.lines()[0], "一（跳过 6月3日 09:00）"));
        QVERIFY(view->model()
                    ->index(0, 0)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .endsWith(QStringLiteral("下次提醒：2024年6月4日 09:00")));
        QVERIFY(p.run->fake.tray.toolTip.endsWith(QStringLiteral("下一个提醒：6月3日 10:00 二")));

        QTimer::singleShot(0, p.run->window.get(), [&] {
            auto* dialog = p.run->window->findChild<QDialog*>("PauseDialog");
            QTRY_VERIFY(dialog && dialog->isVisible());
            auto* day = dialog->findChild<QDateEdit*>("pauseDay");
            QCOMPARE(day->date(), QDate(2024, 6, 4));
            QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            day->setDate(QDate(2024, 6, 3));
            MessageBox::setNextAnswer(MessageBox::Ok);
            ok->click();
            QCOMPARE(MessageBox::lastBox().caption, "输入错误");
            QVERIFY(dialog->isVisible());
            day->setDate(QDate(2024, 6, 10));
            ok->click();
        });
        p.run->action("pauseUntil")->trigger();
        QCOMPARE(stored(), "2024-06-10 00:00");
        QVERIFY(endsWith(p.lines()[0], "一（已暂停到 6月10日）"));
        emit menu->aboutToShow();
        QVERIFY(p.run->action("resumeItem")->isEnabled());

        p.run->action("resumeItem")->trigger();
        QCOMPARE(stored(), "");
        QVERIFY(endsWith(p.lines()[0], "一"));
        QCOMPARE(p.run->list().currentRow(), 0);
    }
};

QTEST_MAIN(ItemCommandsTest)
#include "ItemCommandsTest.moc"
