#include "editors/edititem.h"
#include "editors/viewitem.h"
#include "storage/ConfigFile.h"
#include "storage/DataFile.h"
#include "storage/HandOff.h"
#include "storage/IniFile.h"
#include "support/Child.h"
#include "support/TempDir.h"
#include "widgets/FileDialog.h"
#include "widgets/MessageBox.h"
#include "widgets/NumericField.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimeEdit>

// After the Qt headers: the moc cannot read the standard library it includes.
#include "core/Clock.h"

#include <algorithm>
#include <string>

using namespace kelvo;
using kelvo::test::child;
using kelvo::test::TempDir;

namespace {

// Writes the keys of section Item<k> as given, after a fresh data file with
// `items` reminders, and hands item k to the dialogs.
struct Files {
    TempDir dir;
    DataPaths paths{dir.path()};
    ManualClock clock{{Date{1999, 1, 1}, 0, 0}}; // before every stored date

    void item(int k, std::initializer_list<std::pair<const char*, std::string>> keys,
              int items = 3) {
        TIniFile data(paths.dataFile());
        if (data.sectionCount() == 0)
            createDataFile(data);
        data.WriteInteger("Main", "Items", items);
        for (const auto& [key, value] : keys)
            data.WriteString(itemSection(k), key, value);
        data.UpdateFile();
        handTo(k);
    }
    void handTo(int k) const {
        writeHandOffItem(paths.handOff(), handoff::Edit, k);
        writeHandOffItem(paths.handOff(), handoff::View, k);
    }
    TIniFile data() const { return TIniFile(paths.dataFile()); }
};

const char* const kWeekBoxes[] = {"week1", "week2", "week3", "week4", "week5", "week6", "week7"};

} // namespace

class EditViewTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setApplicationName("Kelvo"); }

    // --- the edit dialog --------------------------------------------------

    void everyYearMonthDayShowsTickedAndStoresZeros() {
        Files f;
        f.item(2, {{"Year", "0"},
                   {"Month", "0"},
                   {"Day", "0"},
                   {"Hour", "7"},
                   {"Min", "15"},
                   {"ReMinded", "1"},
                   {"MindMethod", "1"},
                   {"Message", "喝水"}});
        TForm6 edit(f.paths, f.clock);
        edit.show();
        for (const char* box : {"everyyear", "everymonth", "everyday"})
            QVERIFY(child<QCheckBox>(edit, box)->isChecked());
        for (const char* field : {"setyear", "setmonth", "setday"})
            QVERIFY(!child<NumericField>(edit, field)->isEnabled());
        QVERIFY(child<QRadioButton>(edit, "mind1")->isChecked());
        QCOMPARE(child<QLineEdit>(edit, "setmsg")->text(), "喝水");

        child<QAbstractButton>(edit, "FlatSpeedButton1")->click();
        QVERIFY(!edit.isVisible());
        const TIniFile data = f.data();
        QCOMPARE(data.ReadInteger("Item2", "Year", -1), 0);
        QCOMPARE(data.ReadInteger("Item2", "Month", -1), 0);
        QCOMPARE(data.ReadInteger("Item2", "Day", -1), 0);
        QCOMPARE(data.ReadInteger("Item2", "Hour", -1), 7);
        QCOMPARE(data.ReadInteger("Item2", "Min", -1), 15);
        QCOMPARE(data.ReadString("Item2", "ReMinded", ""), "0"); // a fired item is due again
        QCOMPARE(data.ReadInteger("Item2", "MindMethod", -1), 1);
        QCOMPARE(data.ReadString("Item2", "Message", ""), "喝水");
        QCOMPARE(data.ReadString("Item2", "Music", "absent"), ""); // always written
        QCOMPARE(data.ReadInteger("Main", "Items", -1), 3);
    }

    void weekdayCodeTicksExactlyItsDaysAndASecondShowingSettlesTheBoxes() {
        Files f;
        f.item(1, {{"Day", std::to_string(255 + 256 + 16384)}, {"Message", "周会"}});
        TForm6 edit(f.paths, f.clock);
        edit.show();
        auto checkWeekly = [&](std::initializer_list<int> days) {
            QVERIFY(child<QCheckBox>(edit, "everyweek")->isChecked());
            QVERIFY(!child<QCheckBox>(edit, "everyday")->isChecked());
            QVERIFY(!child<NumericField>(edit, "setday")->isEnabled());
            for (int i = 0; i < 7; ++i) {
                QCheckBox* box = child<QCheckBox>(edit, kWeekBoxes[i]);
                QVERIFY(box->isEnabled());
                QCOMPARE(box->isChecked(), std::find(days.begin(), days.end(), i) != days.end());
            }
        };
        checkWeekly({0, 6});
        edit.close();

        // The week box is still ticked from the last showing.
        f.item(2, {{"Day", std::to_string(255 + 1024)}, {"Message", "周三"}});
        edit.show();
        checkWeekly({2});
        edit.close();

        // A day of the month: the week box goes, the days keep their ticks, disabled.
        f.item(3, {{"Day", "-3"}, {"Hour", "30"}, {"Message", "月中"}});
        edit.show();
        QVERIFY(!child<QCheckBox>(edit, "everyweek")->isChecked());
        QVERIFY(child<NumericField>(edit, "setday")->isEnabled());
        QCOMPARE(child<NumericField>(edit, "setday")->value(), 1);
        QCOMPARE(child<NumericField>(edit, "sethour")->value(), 23);
        QVERIFY(child<QCheckBox>(edit, "week3")->isChecked());
        QVERIFY(!child<QCheckBox>(edit, "week3")->isEnabled());
    }

    void storingUsesTheHandedOffSectionAndTheEditKeyOrder() {
        Files f;
        f.item(1, {{"Message", "一"}}, 1);
        f.handTo(7); // no such section: the read defaults show
        TForm6 edit(f.paths, f.clock);
        edit.show();
        QCOMPARE(child<NumericField>(edit, "setyear")->value(), 2000);
        QCOMPARE(child<NumericField>(edit, "setmin")->value(), 1);
        QVERIFY(child<QRadioButton>(edit, "mind0")->isChecked());
        child<QLineEdit>(edit, "setmsg")->setText("新");
        child<QAbstractButton>(edit, "FlatSpeedButton1")->click();

        QCOMPARE(f.data().ReadInteger("Main", "Items", -1), 1);
        const std::string file = f.dir.read("DataFile.dat");
        const std::string section = file.substr(file.find("[Item7]"));
        size_t at = 0;
        for (const char* key : {"Year=2000", "Month=1", "Day=1", "Hour=0", "Min=1", "RdBefore=0",
                                "ReMinded=0", "MindMethod=0", "Message=", "Music="}) {
            const size_t next = section.find(key, at);
            QVERIFY2(next != std::string::npos, key);
            at = next;
        }
        QCOMPARE(f.data().ReadString("Item1", "Message", ""), "一");
    }

    void inputErrorsKeepTheDialogOpenAndWriteNothing() {
        Files f;
        f.item(1, {{"RdBefore", "45"}, {"MindMethod", "0"}, {"Message", "AutoShutDownWindows"}});
        const std::string before = f.dir.read("DataFile.dat");
        TForm6 edit(f.paths, f.clock);
        edit.show();
        auto* rdbf = child<NumericField>(edit, "rdbf");
        QCOMPARE(rdbf->text(), "45"); // no limits on the advance field
        auto* store = child<QAbstractButton>(edit, "FlatSpeedButton1");

        auto refusedWith = [&](const QString& message) {
            MessageBox::setNextAnswer(MessageBox::Ok);
            store->click();
            QVERIFY(edit.isVisible());
            QCOMPARE(MessageBox::lastBox().caption, "输入错误");
            QCOMPARE(MessageBox::lastBox().icon, MessageBox::Warning);
            QCOMPARE(MessageBox::lastBox().buttons, int(MessageBox::Ok));
            QCOMPARE(MessageBox::lastBox().text, message);
            QCOMPARE(f.dir.read("DataFile.dat"), before);
        };
        refusedWith("输入的提前提醒时间必须在0到30之间，0为不提前提醒！");
        child<QRadioButton>(edit, "mind2")->setChecked(true);
        refusedWith("开机提醒时不能设置为自动关机！");
        child<QRadioButton>(edit, "mind0")->setChecked(true);
        child<NumericField>(edit, "setmonth")->setText("13"); // typed, still focused
        refusedWith("输入数据错误，请检查输入！");
    }

    // An edit that leaves the reminder without an occurrence from now on is
    // stored only when the user says so.
    void editThatNeverFiresAgainIsStoredOnlyWhenConfirmed() {
        Files f;
        f.item(1, {{"Year", "2026"}, {"Month", "3"}, {"Day", "1"}, {"Message", "旧"}});
        f.clock.set({Date{2026, 12, 8}, 9, 0});
        const std::string before = f.dir.read("DataFile.dat");
        TForm6 edit(f.paths, f.clock);
        edit.show();
        child<QLineEdit>(edit, "setmsg")->setText("新");
        auto* store = child<QAbstractButton>(edit, "FlatSpeedButton1");
        MessageBox::setNextAnswer(MessageBox::No);
        store->click();
        QCOMPARE(MessageBox::lastBox().text,
                 "这个提醒的时间已经过去，以后不会再提醒。仍然修改吗？");
        QCOMPARE(MessageBox::lastBox().defaultButton, MessageBox::No);
        QVERIFY(edit.isVisible());
        QCOMPARE(f.dir.read("DataFile.dat"), before);

        MessageBox::setNextAnswer(MessageBox::Yes);
        store->click();
        QVERIFY(!edit.isVisible());
        QCOMPARE(f.data().ReadString("Item1", "Message", ""), "新");
    }

    void keyHandlersDropSignsAndPoints() {
        Files f;
        f.item(1, {{"Message", "x"}});
        TForm6 edit(f.paths, f.clock);
        edit.show();
        auto* rdbf = child<NumericField>(edit, "rdbf");
        rdbf->setText("");
        QTest::keyClicks(rdbf, "-1.5+");
        QCOMPARE(rdbf->text(), "15");
    }

    void soundBoxLoadsThePathAndUntickingClearsTheStoredSound() {
        Files f;
        f.item(1, {{"Message", "听歌"}, {"Music", "/music/歌.mp3"}});
        TForm6 edit(f.paths, f.clock);
        edit.show();
        auto* issetmusic = child<QCheckBox>(edit, "issetmusic");
        QVERIFY(issetmusic->isChecked());
        QVERIFY(child<QLineEdit>(edit, "setmusic")->isEnabled());
        QCOMPARE(child<QLineEdit>(edit, "setmusic")->text(), "/music/歌.mp3");
        FileDialog::setNextAnswer(QStringLiteral("/music/新.wav"));
        child<QAbstractButton>(edit, "selectfile")->click();
        QCOMPARE(child<QLineEdit>(edit, "setmusic")->text(), "/music/新.wav");
        issetmusic->setChecked(false);
        QVERIFY(!child<QAbstractButton>(edit, "selectfile")->isEnabled());
        child<QAbstractButton>(edit, "FlatSpeedButton1")->click();
        QCOMPARE(f.data().ReadString("Item1", "Music", "absent"), "");
    }

    void unknownModeTicksNoButtonAndIsKept() {
        Files f;
        f.item(1, {{"MindMethod", "7"}, {"Message", "怪"}});
        TForm6 edit(f.paths, f.clock);
        edit.show();
        for (const char* mind : {"mind0", "mind1", "mind2", "mind3"})
            QVERIFY(!child<QRadioButton>(edit, mind)->isChecked());
        child<QAbstractButton>(edit, "FlatSpeedButton1")->click();
        QCOMPARE(f.data().ReadInteger("Item1", "MindMethod", -1), 7);
    }

    void cancelWritesOnlyThePosition() {
        Files f;
        f.item(1, {{"Message", "x"}});
        {
            TIniFile config(f.paths.config());
            writeWindowPos(config, positions::Edit, {40, 50});
            config.UpdateFile();
        }
        const std::string before = f.dir.read("DataFile.dat");
        TForm6 edit(f.paths, f.clock);
        edit.show();
        QCOMPARE(edit.pos(), QPoint(40, 50));
        edit.move(60, 70);
        child<QAbstractButton>(edit, "FlatSpeedButton2")->click();
        QVERIFY(!edit.isVisible());
        QCOMPARE(f.dir.read("DataFile.dat"), before);
        QCOMPARE(readWindowPos(TIniFile(f.paths.config()), positions::Edit), (WindowPos{60, 70}));
    }

    // --- the view dialog --------------------------------------------------

    void aLunarReminderStaysLunarAndKeepsItsDayThirty() {
        Files f;
        // 腊月三十 whose first occurrence is 廿九 of a 29-day 腊月.
        f.item(1, {{"Year", "2027"},
                   {"Month", "2"},
                   {"Day", "5"},
                   {"Hour", "20"},
                   {"Min", "0"},
                   {"Message", "守岁"},
                   {"LunarRepeat", "1"},
                   {"LunarMonth", "12"},
                   {"LunarDay", "30"},
                   {"LunarLeap", "0"}});
        f.clock.set({Date{2026, 12, 8}, 9, 0}); // lunar days are known from here on
        TForm6 edit(f.paths, f.clock);
        edit.show();
        QCOMPARE(edit.size(), QSize(326, 388 + 52)); // with the interval and warnings
        QVERIFY(child<QCheckBox>(edit, "lunarrepeat")->isChecked());
        QCOMPARE(child<QComboBox>(edit, "lunarcycle")->currentIndex(), 0);
        QVERIFY(child<QComboBox>(edit, "lunarcycle")->isEnabled());
        for (const char* box : {"everyyear", "everymonth", "everyday", "everyweek"}) {
            QVERIFY(!child<QCheckBox>(edit, box)->isChecked());
            QVERIFY(!child<QCheckBox>(edit, box)->isEnabled());
        }
        QCOMPARE(child<QLabel>(edit, "lunardate")->text(), "农历腊月廿九");
        QCOMPARE(child<NumericField>(edit, "setyear")->value(), 2027);

        child<QLineEdit>(edit, "setmsg")->setText("除夕");
        child<QAbstractButton>(edit, "FlatSpeedButton1")->click();
        QVERIFY(!edit.isVisible());
        const ReminderItem stored = readItem(f.data(), 1, kEditDefaults);
        QCOMPARE(stored.message, "除夕");
        QVERIFY(stored.lunar == (LunarRepeat{LunarRepeat::kYearly, 12, 30, false}));
        QCOMPARE(stored.year, 2027);

        // A changed date takes the lunar date of the new day, still lunar.
        edit.show();
        child<NumericField>(edit, "setday")->setValue(4);
        child<QComboBox>(edit, "lunarcycle")->setCurrentIndex(1);
        child<QAbstractButton>(edit, "FlatSpeedButton1")->click();
        QVERIFY(readItem(f.data(), 1, kEditDefaults).lunar ==
                (LunarRepeat{LunarRepeat::kMonthly, 0, 28, false}));

        // Unticked by the user, it becomes a reminder of its date alone.
        edit.show();
        child<QCheckBox>(edit, "lunarrepeat")->setChecked(false);
        QVERIFY(child<QCheckBox>(edit, "everyyear")->isEnabled());
        QVERIFY(!child<QComboBox>(edit, "lunarcycle")->isEnabled());
        child<QAbstractButton>(edit, "FlatSpeedButton1")->click();
        QVERIFY(!readItem(f.data(), 1, kEditDefaults).lunar.active());

        // The next item shown without a repetition has the box unticked.
        f.item(2, {{"Year", "2026"}, {"Message", "普通"}});
        edit.show();
        QVERIFY(!child<QCheckBox>(edit, "lunarrepeat")->isChecked());
    }

    // The edit dialog shows a stored interval and warnings and keeps them;
    // the view dialog says what they are.
    void intervalAndWarningsAreShownKeptAndViewed() {
        Files f;
        f.item(1, {{"Year", "0"},
                   {"Month", "0"},
                   {"Day", "0"},
                   {"Hour", "9"},
                   {"Min", "30"},
                   {"Message", "护眼"},
                   {"Interval", "20"},
                   {"IntervalEndHour", "17"},
                   {"IntervalEndMin", "10"},
                   {"WarnDays", "3,1"}});
        TForm6 edit(f.paths, f.clock);
        edit.show();
        QVERIFY(child<QCheckBox>(edit, "interval")->isChecked());
        QCOMPARE(child<QSpinBox>(edit, "intervalevery")->value(), 20);
        QCOMPARE(child<QTimeEdit>(edit, "intervalstart")->time(), QTime(9, 30));
        QCOMPARE(child<QTimeEdit>(edit, "intervalend")->time(), QTime(17, 10));
        QCOMPARE(child<QLineEdit>(edit, "warndays")->text(), "1、3");
        QVERIFY(!child<QCheckBox>(edit, "warnowntime")->isChecked());
        child<QTimeEdit>(edit, "intervalend")->setTime(QTime(16, 0));
        child<QAbstractButton>(edit, "FlatSpeedButton1")->click();
        QVERIFY(!edit.isVisible());
        const ReminderItem stored = readItem(f.data(), 1, kEditDefaults);
        QVERIFY(stored.interval == (IntervalRule{20, 16 * 60}));
        QVERIFY(stored.warnings == dayWarnings({1, 3}));

        TForm3 view(f.paths);
        view.show();
        QCOMPARE(child<QLabel>(view, "ruletext")->text(),
                 "每隔 20 分钟，从 09:30 到 16:00；提前 1 天、3 天");
        view.close();
        // Unticked, the interval is gone; a plain reminder is viewed as one.
        edit.show();
        child<QCheckBox>(edit, "interval")->click();
        child<QLineEdit>(edit, "warndays")->clear();
        child<QAbstractButton>(edit, "FlatSpeedButton1")->click();
        QVERIFY(!readItem(f.data(), 1, kEditDefaults).interval.active());
        view.show();
        QCOMPARE(child<QLabel>(view, "ruletext")->text(), "无间隔提醒，无提前几天的提醒");
    }

    void viewShowsTheLunarDate() {
        Files f;
        f.item(1, {{"Year", "2026"},
                   {"Month", "9"},
                   {"Day", "25"},
                   {"Message", "中秋"},
                   {"LunarRepeat", "1"},
                   {"LunarMonth", "8"},
                   {"LunarDay", "15"}});
        TForm3 view(f.paths);
        view.show();
        QCOMPARE(view.size(), QSize(312, 316 + 36)); // with the interval and warnings
        QCOMPARE(child<QLineEdit>(view, "FlatEdit10")->text(), "农历每年 八月 十五");
        QCOMPARE(child<QLineEdit>(view, "FlatEdit1")->text(), "2026");
        QCOMPARE(child<QLineEdit>(view, "FlatEdit3")->text(), "25");
        view.close();
        f.item(2, {{"Year", "2026"}, {"Month", "12"}, {"Day", "7"}, {"Message", "x"}});
        view.show();
        QCOMPARE(child<QLineEdit>(view, "FlatEdit10")->text(), "农历十月廿九");
        view.close();
        f.item(3, {{"Year", "0"}, {"Message", "y"}});
        view.show();
        QCOMPARE(child<QLineEdit>(view, "FlatEdit10")->text(), "");
    }

    void viewShowsWildcardsAndNumbersInWords() {
        Files f;
        f.item(3, {{"Year", "0"},
                   {"Month", "0"},
                   {"Day", "0"},
                   {"Hour", "8"},
                   {"Min", "5"},
                   {"ReMinded", "1"},
                   {"MindMethod", "2"},
                   {"Message", "AutoShutDownWindows"},
                   {"Music", "/music/a.wav"}});
        TForm3 view(f.paths);
        view.show();
        const QStringList expected{"每年",
                                   "每月",
                                   "每天",
                                   "8",
                                   "5",
                                   "已提醒",
                                   "开机提醒",
                                   "已经设置：/music/a.wav",
                                   "AutoShutDownWindows"};
        const char* fields[] = {"FlatEdit1", "FlatEdit2", "FlatEdit3", "FlatEdit4", "FlatEdit5",
                                "FlatEdit8", "FlatEdit6", "FlatEdit9", "FlatEdit7"};
        for (int i = 0; i < expected.size(); ++i) {
            QLineEdit* field = child<QLineEdit>(view, fields[i]);
            QCOMPARE(field->text(), expected[i]);
            // Readable, not greyed out, and still nothing to change.
            QVERIFY(field->isEnabled() && field->isReadOnly());
        }
    }

    // Long texts open at their beginning in both dialogs; the view's message
    // and sound have their whole text in the tool tip.
    void longTextsOpenAtTheirBeginning() {
        Files f;
        const std::string message = "下午三点在五楼" + std::string(200, 'x') + "报告";
        const std::string music = "/home/user/" + std::string(120, 'm') + "/ring.wav";
        f.item(1, {{"Message", message}, {"Music", music}});
        TForm3 view(f.paths);
        view.show();
        for (const char* name : {"FlatEdit7", "FlatEdit9"}) {
            QLineEdit* field = child<QLineEdit>(view, name);
            QCOMPARE(field->cursorPosition(), 0);
            QCOMPARE(field->toolTip(), field->text());
        }
        QCOMPARE(child<QLineEdit>(view, "FlatEdit7")->text().toStdString(), message);
        TForm6 edit(f.paths, f.clock);
        edit.show();
        for (const char* name : {"setmsg", "setmusic"})
            QCOMPARE(child<QLineEdit>(edit, name)->cursorPosition(), 0);
    }

    void viewReadsTheLowerCaseSpellingsAndKeepsAnUnknownMode() {
        Files f;
        f.item(1, {{"year", "2026"},
                   {"month", "12"},
                   {"day", std::to_string(255 + 256 + 1024 + 16384)},
                   {"hour", "23"},
                   {"min", "59"},
                   {"reminded", "0"},
                   {"mindmethod", "1"},
                   {"message", "周"}});
        f.item(2, {{"MindMethod", "9"}, {"Message", "怪"}});
        f.handTo(1);
        TForm3 view(f.paths);
        view.show();
        QCOMPARE(child<QLineEdit>(view, "FlatEdit1")->text(), "2026");
        QCOMPARE(child<QLineEdit>(view, "FlatEdit3")->text(), "周一三日");
        QCOMPARE(child<QLineEdit>(view, "FlatEdit5")->text(), "59");
        QCOMPARE(child<QLineEdit>(view, "FlatEdit8")->text(), "未提醒");
        QCOMPARE(child<QLineEdit>(view, "FlatEdit6")->text(), "整点提醒");
        QCOMPARE(child<QLineEdit>(view, "FlatEdit9")->text(), "系统音乐");
        child<QAbstractButton>(view, "FlatSpeedButton1")->click();

        f.handTo(2);
        view.show();
        QCOMPARE(child<QLineEdit>(view, "FlatEdit7")->text(), "怪");
        QCOMPARE(child<QLineEdit>(view, "FlatEdit6")->text(), "整点提醒");
        QCOMPARE(child<QLineEdit>(view, "FlatEdit1")->text(), "2000");
    }

    void viewRemembersItsPosition() {
        Files f;
        f.item(1, {{"Message", "x"}});
        TForm3 view(f.paths);
        view.show();
        view.move(33, 44);
        view.close();
        QCOMPARE(readWindowPos(TIniFile(f.paths.config()), positions::View), (WindowPos{33, 44}));
        view.show();
        QCOMPARE(view.pos(), QPoint(33, 44));
    }
};

QTEST_MAIN(EditViewTest)
#include "EditViewTest.moc"
