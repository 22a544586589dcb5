#include "alerts/settimelater.h"
#include "core/Clock.h"
#include "editors/newitem.h"
#include "lunar/FormSetNL.h"
#include "storage/ConfigFile.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "storage/TextCodec.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "widgets/Beep.h"
#include "widgets/FileDialog.h"
#include "widgets/MessageBox.h"
#include "widgets/NumericField.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

#include <functional>
#include <memory>

using namespace kelvo;

namespace {

const QString kInputError = QStringLiteral("输入错误");
const QString kRangeError = QStringLiteral("输入数据错误，请检查输入！");
const QString kAsk = QStringLiteral("询问");
const QString kStoreAnyway = QStringLiteral("仍然添加吗？");

// The key names of a section of an INI text, in file order.
QStringList sectionKeys(const QString& text, const QString& section) {
    QStringList keys;
    bool inSection = false;
    for (const QString& line : text.split(QStringLiteral("\r\n"))) {
        if (line.startsWith(u'['))
            inSection = line == u'[' + section + u']';
        else if (inSection && line.contains(u'='))
            keys << line.section(u'=', 0, 0);
    }
    return keys;
}

} // namespace

class AddDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> m_dir;
    DataPaths m_paths;
    ManualClock m_clock;
    std::unique_ptr<TForm9> m_remindLater;
    std::unique_ptr<TSetNL> m_lunarDate;
    std::unique_ptr<TForm2> m_dialog;

    template <typename T = QWidget> T* control(const char* name) const {
        T* found = m_dialog->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    NumericField* field(const char* name) const { return control<NumericField>(name); }
    QCheckBox* box(const char* name) const { return control<QCheckBox>(name); }
    QComboBox* message() const { return control<QComboBox>("setmsg"); }
    void press(const char* button) const {
        QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton);
    }
    // Replaces a field's text by typing, as the user does; the field keeps
    // the focus, so nothing clamps the text.
    void type(const char* name, const QString& text) const {
        field(name)->selectAll();
        QTest::keyClicks(field(name), text);
    }
    void typeMessage(const QString& text) const { message()->setEditText(text); }

    // Presses "添加[&A]"; a refusing box is answered at once, and the
    // question about a reminder that never fires again is answered Yes.
    // Returns the text of a refusing box, or an empty text when the dialog
    // stored and closed. (An answer left unused there is OK too.)
    QString store() const {
        const int boxes = MessageBox::boxCount();
        MessageBox::setNextAnswer(MessageBox::Yes);
        press("FlatSpeedButton1");
        if (MessageBox::boxCount() == boxes)
            return {};
        const MessageBox::Record& box = MessageBox::lastBox();
        if (box.caption == kAsk && box.text.endsWith(kStoreAnyway))
            return {};
        if (box.caption != kInputError || box.icon != MessageBox::Warning ||
            box.buttons != MessageBox::Ok)
            return QStringLiteral("unexpected box: ") + box.caption;
        return box.text;
    }

    TIniFile data() const { return TIniFile(m_paths.dataFile()); }
    QString dataText() const {
        return QString::fromStdString(decodeFileText(m_dir->read("DataFile.dat")));
    }

    // Shows the modal dialog the button opens and acts on it once it runs.
    void whileModal(QDialog& modal, const std::function<void()>& act, const char* button) {
        QTimer::singleShot(0, &modal, [&modal, act] {
            QVERIFY(modal.isVisible());
            act();
        });
        press(button);
        QVERIFY(!modal.isVisible());
    }

private slots:
    void init() {
        m_dir = std::make_unique<test::TempDir>();
        m_paths = DataPaths{m_dir->path()};
        m_clock.set(DateTime{Date{2024, 6, 3}, 8, 29, 45});
        m_remindLater = std::make_unique<TForm9>();
        m_lunarDate = std::make_unique<TSetNL>();
        m_dialog = std::make_unique<TForm2>(m_paths, m_clock, *m_remindLater, *m_lunarDate);
        m_dialog->show();
    }
    void cleanup() {
        m_dialog.reset();
        m_lunarDate.reset();
        m_remindLater.reset();
        m_dir.reset();
        setKitBeep({});
    }

    // Today at the next full hour (the clock reads 08:29:45).
    void firstShowingHasTheStartingValues() {
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("添加提醒"));
        QCOMPARE(m_dialog->size(), QSize(345, 399 + 52)); // with the interval and warnings
        QVERIFY(!box("interval")->isChecked());
        QVERIFY(!control<QSpinBox>("intervalevery")->isEnabled());
        QCOMPARE(control<QLineEdit>("warndays")->text(), QString());
        QCOMPARE(m_dialog->focusWidget(), box("everyday"));
        for (auto [name, value] : {std::pair{"setyear", 2024},
                                   {"setmonth", 6},
                                   {"setday", 3},
                                   {"sethour", 9},
                                   {"setmin", 0},
                                   {"rdbf", 0}})
            QCOMPARE(field(name)->value(), value);
        for (const char* day : {"week1", "week2", "week3", "week4", "week5", "week6", "week7"})
            QVERIFY(!box(day)->isEnabled());
        QVERIFY(control<QRadioButton>("mind0")->isChecked());
        QCOMPARE(control<QRadioButton>("mind2")->toolTip(),
                 QStringLiteral("在设定的时间提醒并且开机时提醒"));
        QVERIFY(!control<QLineEdit>("setmusic")->isEnabled());
        QVERIFY(!control<QPushButton>("selectfile")->isEnabled());
        QCOMPARE(message()->currentText(), QString());
        QCOMPARE(message()->count(), 0);
    }

    // 1,023 hanzi are 2,046 bytes in the file: one more takes two bytes too
    // many, an ASCII letter the last one; a paste beyond is not taken.
    void theMessageStopsAtTheLengthAValueHolds() {
        QLineEdit* edit = message()->lineEdit();
        edit->setText(QString(1023, QChar(0x4F1A)));
        edit->setCursorPosition(1023);
        edit->insert(QStringLiteral("会")); // as a typed character is
        QCOMPARE(edit->text().size(), 1023);
        QTest::keyClicks(edit, QStringLiteral("ab"));
        QCOMPARE(edit->text(), QString(1023, QChar(0x4F1A)) + u'a');
        edit->clear();
        edit->insert(QString(2048, u'x'));
        QCOMPARE(edit->text(), QString());
    }

    void storesTheKeysInOrderWithoutMusic() {
        type("setyear", "2024");
        type("setmonth", "6");
        type("setday", "3");
        type("sethour", "10");
        type("setmin", "30");
        type("rdbf", "5");
        control<QRadioButton>("mind1")->click();
        typeMessage(QStringLiteral("开会"));
        QCOMPARE(store(), QString());
        QVERIFY(!m_dialog->isVisible());

        QCOMPARE(sectionKeys(dataText(), "Item1"),
                 QStringList({"Year", "Month", "Day", "Hour", "Min", "ReMinded", "RdBefore",
                              "MindMethod", "Message"}));
        QCOMPARE(storedItemCount(data()), 1);
        const ReminderItem item = readItem(data(), 1, kViewDefaults);
        QCOMPARE(std::tuple(item.year, item.month, item.day, item.hour, item.min),
                 std::tuple(2024, 6, 3, 10, 30));
        QCOMPARE(item.rdBefore, 5);
        QCOMPARE(item.mindMethod, 1);
        QCOMPARE(item.message, std::string("开会"));
        QVERIFY(!item.reminded);
    }

    void newItemFollowsTheStoredCount() {
        {
            TIniFile file(m_paths.dataFile());
            createDataFile(file);
            appendItem(file, ReminderItem{}, false);
            appendItem(file, ReminderItem{}, false);
        }
        typeMessage(QStringLiteral("third"));
        QCOMPARE(store(), QString());
        QCOMPARE(storedItemCount(data()), 3);
        QCOMPARE(readItem(data(), 3, kViewDefaults).message, std::string("third"));
    }

    // Nothing of the last use carries into the next reminder: not its date,
    // not a weekly or lunar repetition.
    void everyShowingStartsAfresh() {
        QFile::remove(QString::fromStdString(m_paths.config()));
        type("setyear", "2030");
        type("setmonth", "7");
        type("sethour", "21");
        box("everyweek")->click();
        box("week1")->click();
        box("lunarrepeat")->click();
        control<QComboBox>("lunarcycle")->setCurrentIndex(1);
        control<QRadioButton>("mind3")->click();
        type("rdbf", "10");
        typeMessage(QStringLiteral("old"));
        box("issetmusic")->click();
        control<QLineEdit>("setmusic")->setText(QStringLiteral("/music/a.mp3"));
        press("FlatSpeedButton2");
        QVERIFY(!m_dialog->isVisible());
        QVERIFY(!QFile::exists(QString::fromStdString(m_paths.dataFile())));

        // Shown again an hour and a half later, past midnight.
        m_clock.set(DateTime{Date{2024, 6, 3}, 23, 59, 10});
        m_dialog->show();
        for (auto [name, value] : {std::pair{"setyear", 2024},
                                   {"setmonth", 6},
                                   {"setday", 4},
                                   {"sethour", 0},
                                   {"setmin", 0}})
            QCOMPARE(field(name)->value(), value);
        for (const char* name :
             {"everyyear", "everymonth", "everyday", "everyweek", "week1", "lunarrepeat"})
            QVERIFY2(!box(name)->isChecked(), name);
        for (const char* name : {"setyear", "setmonth", "setday"})
            QVERIFY2(field(name)->isEnabled(), name);
        QVERIFY(!box("week1")->isEnabled());
        QVERIFY(box("everyyear")->isEnabled());
        QCOMPARE(control<QComboBox>("lunarcycle")->currentIndex(), 0);
        QVERIFY(!control<QComboBox>("lunarcycle")->isEnabled());

        QVERIFY(control<QRadioButton>("mind0")->isChecked());
        QCOMPARE(field("rdbf")->value(), 0);
        QCOMPARE(message()->currentText(), QString());
        QVERIFY(!box("issetmusic")->isChecked());
        QCOMPARE(control<QLineEdit>("setmusic")->text(), QString());
        QVERIFY(!control<QLineEdit>("setmusic")->isEnabled());
        QVERIFY(!box("AutoClose")->isChecked());
    }

    void everydayAndEveryweekExcludeEachOther() {
        box("everyday")->click();
        QVERIFY(!field("setday")->isEnabled());
        box("everyweek")->click();
        QVERIFY(!box("everyday")->isChecked());
        QVERIFY(!field("setday")->isEnabled());
        QVERIFY(box("week7")->isEnabled());
        box("week3")->click();
        box("everyday")->click();
        QVERIFY(!box("everyweek")->isChecked());
        QVERIFY(!field("setday")->isEnabled());
        QVERIFY(!box("week7")->isEnabled());
        QVERIFY(box("week3")->isChecked()); // the tick survives while disabled
        box("everyday")->click();
        QVERIFY(field("setday")->isEnabled());
        QVERIFY(!box("week3")->isEnabled());
    }

    // Ticked alone, 每周 repeats every week of every month and year, with no
    // question; so does 每天.
    void weeklyItemNeedsADayAndStoresTheWeekdayCode() {
        typeMessage(QStringLiteral("gym"));
        box("everyweek")->click();
        QVERIFY(box("everyyear")->isChecked() && box("everymonth")->isChecked());
        QCOMPARE(store(), QStringLiteral("请选择星期中的一天！"));
        QVERIFY(m_dialog->isVisible());
        QVERIFY(!QFile::exists(QString::fromStdString(m_paths.dataFile())));
        box("week1")->click();
        box("week7")->click();
        const int boxes = MessageBox::boxCount();
        QCOMPARE(store(), QString());
        QCOMPARE(MessageBox::boxCount(), boxes);
        const ReminderItem weekly = readItem(data(), 1, kViewDefaults);
        QCOMPARE(std::tuple(weekly.year, weekly.month, weekly.day), std::tuple(0, 0, 16895));

        m_dialog->show();
        box("everyday")->click();
        typeMessage(QStringLiteral("water"));
        QCOMPARE(store(), QString());
        QCOMPARE(MessageBox::boxCount(), boxes);
        const ReminderItem daily = readItem(data(), 2, kViewDefaults);
        QCOMPARE(std::tuple(daily.year, daily.month, daily.day), std::tuple(0, 0, 0));
    }

    // A reminder with no occurrence from now on is stored only when the user
    // says so; No, the default, keeps the dialog open with its input.
    void reminderThatNeverFiresAgainIsStoredOnlyWhenConfirmed() {
        typeMessage(QStringLiteral("过去"));
        type("setyear", "2001");
        MessageBox::setNextAnswer(MessageBox::No);
        press("FlatSpeedButton1");
        const MessageBox::Record box = MessageBox::lastBox();
        QCOMPARE(box.caption, kAsk);
        QCOMPARE(box.text, QStringLiteral("这个提醒的时间已经过去，以后不会再提醒。仍然添加吗？"));
        QCOMPARE(box.buttons, MessageBox::Yes | MessageBox::No);
        QCOMPARE(box.defaultButton, MessageBox::No);
        QVERIFY(m_dialog->isVisible());
        QVERIFY(!QFile::exists(QString::fromStdString(m_paths.dataFile())));

        MessageBox::setNextAnswer(MessageBox::Yes);
        press("FlatSpeedButton1");
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(readItem(data(), 1, kViewDefaults).message, std::string("过去"));
    }

    // A weekly reminder without 每年 and 每月 ends with the month shown; the
    // question says until when. One still to come asks nothing.
    void weeklyReminderEndingThisMonthSaysUntilWhen() {
        typeMessage(QStringLiteral("gym"));
        type("setyear", "2024");
        type("setmonth", "5");
        box("everyweek")->click();
        box("everyyear")->click();
        box("everymonth")->click();
        box("week2")->click();
        MessageBox::setNextAnswer(MessageBox::No);
        press("FlatSpeedButton1");
        QCOMPARE(MessageBox::lastBox().text,
                 QStringLiteral("这个提醒的时间已经过去，以后不会再提醒。没有勾选“每年”和“每月”，"
                                "它只重复到2024年5月28日。仍然添加吗？"));
        // This month: it still fires, until the month's last Tuesday.
        type("setmonth", "6");
        MessageBox::setNextAnswer(MessageBox::Yes);
        press("FlatSpeedButton1");
        QCOMPARE(MessageBox::lastBox().text,
                 QStringLiteral("没有勾选“每年”和“每月”，它只重复到2024年6月25日。仍然添加吗？"));
        QCOMPARE(MessageBox::lastBox().defaultButton, MessageBox::No);
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(storedItemCount(data()), 1);
    }

    void checksRunInOrder() {
        control<QRadioButton>("mind2")->click();
        box("AutoClose")->click();
        type("setmonth", "13");
        type("rdbf", "45");
        QCOMPARE(store(), QStringLiteral("开机提醒时不能设置为自动关机！"));
        control<QRadioButton>("mind0")->click();
        QCOMPARE(store(), kRangeError);
        type("setmonth", "12");
        box("AutoClose")->click(); // unticking clears the message
        QCOMPARE(store(), QStringLiteral("请输入提醒内容！"));
        typeMessage(QStringLiteral("  "));
        QCOMPARE(store(), QStringLiteral("输入的提前提醒时间必须在0到30之间，0为不提前提醒！"));
        QVERIFY(!QFile::exists(QString::fromStdString(m_paths.dataFile())));
    }

    void rangeCheckSkipsOnlyRepeatedFields() {
        typeMessage(QStringLiteral("x"));
        type("setyear", "1999");
        QCOMPARE(store(), kRangeError);
        box("everyyear")->click();
        type("sethour", "24");
        QCOMPARE(store(), kRangeError);
        type("sethour", "23");
        type("setday", "32");
        box("everyweek")->click(); // disables the day; its range is checked still
        box("everymonth")->click();
        box("week2")->click();
        QCOMPARE(store(), kRangeError);
        field("setday")->setText(QStringLiteral("31"));
        type("setmonth", "2");
        QCOMPARE(store(), QString());
        const ReminderItem item = readItem(data(), 1, kViewDefaults);
        QCOMPARE(std::tuple(item.year, item.month, item.day), std::tuple(0, 2, 255 + 512));
    }

    void emptyYearStoresItsLowerLimitAndFebruary31Passes() {
        field("setyear")->setText(QString());
        type("setmonth", "2");
        type("setday", "31");
        typeMessage(QStringLiteral("x"));
        QCOMPARE(store(), QString());
        const ReminderItem item = readItem(data(), 1, kViewDefaults);
        QCOMPARE(std::tuple(item.year, item.month, item.day), std::tuple(2000, 2, 31));
    }

    void shutdownMarkerIsExactAndRefusedAtStartup() {
        box("AutoClose")->click();
        QCOMPARE(message()->currentText(), QStringLiteral("AutoShutDownWindows"));
        QVERIFY(!message()->isEnabled());
        QCOMPARE(store(), QString());
        QCOMPARE(readItem(data(), 1, kViewDefaults).message, std::string("AutoShutDownWindows"));

        m_dialog->show();
        control<QRadioButton>("mind3")->click();
        typeMessage(QStringLiteral("AutoShutDownWindows"));
        QCOMPARE(store(), QStringLiteral("开机提醒时不能设置为自动关机！"));
        typeMessage(QStringLiteral("autoshutdownwindows"));
        QCOMPARE(store(), QString());
        QCOMPARE(readItem(data(), 2, kViewDefaults).mindMethod, 3);
    }

    void chosenSoundIsStoredAsTyped() {
        box("issetmusic")->click();
        QVERIFY(control<QPushButton>("selectfile")->isEnabled());
        FileDialog::setNextAnswer(QStringLiteral("/home/u/铃声.mp3"));
        press("selectfile");
        QCOMPARE(FileDialog::lastDialog()->filter(),
                 QStringLiteral("音乐文件 (*.ogg *.opus *.flac *.mp3 *.wav *.mid *.avi)"));
        QCOMPARE(control<QLineEdit>("setmusic")->text(), QStringLiteral("/home/u/铃声.mp3"));
        FileDialog::setNextAnswer(std::nullopt);
        press("selectfile");
        QCOMPARE(control<QLineEdit>("setmusic")->text(), QStringLiteral("/home/u/铃声.mp3"));
        typeMessage(QStringLiteral("ring"));
        QCOMPARE(store(), QString());
        QCOMPARE(readItem(data(), 1, kViewDefaults).music, std::string("/home/u/铃声.mp3"));
        QVERIFY(sectionKeys(dataText(), "Item1").contains("Music"));
    }

    void untickedSoundWritesNoMusicKey() {
        box("issetmusic")->click();
        control<QLineEdit>("setmusic")->setText(QStringLiteral("/a.wav"));
        box("issetmusic")->click();
        QVERIFY(!control<QLineEdit>("setmusic")->isEnabled());
        QCOMPARE(control<QLineEdit>("setmusic")->text(), QStringLiteral("/a.wav"));
        typeMessage(QStringLiteral("quiet"));
        QCOMPARE(store(), QString());
        QVERIFY(!sectionKeys(dataText(), "Item1").contains("Music"));
    }

    void currentTimeDropsTheSeconds() {
        box("everymonth")->click();
        press("FlatSpeedButton3");
        for (auto [name, value] : {std::pair{"setyear", 2024},
                                   {"setmonth", 6},
                                   {"setday", 3},
                                   {"sethour", 8},
                                   {"setmin", 29}})
            QCOMPARE(field(name)->value(), value);
        QVERIFY(box("everymonth")->isChecked());
    }

    void minutesLaterCarryIntoTheNextYearAndLeapDay() {
        m_clock.set(DateTime{Date{2023, 12, 31}, 23, 50, 59});
        whileModal(
            *m_remindLater,
            [this] {
                auto* minutes = m_remindLater->findChild<NumericField*>("setMinLater");
                minutes->selectAll();
                QTest::keyClicks(minutes, "20");
                m_remindLater->FlatSpeedButton1Click();
            },
            "FlatSpeedButton4");
        for (auto [name, value] : {std::pair{"setyear", 2024},
                                   {"setmonth", 1},
                                   {"setday", 1},
                                   {"sethour", 0},
                                   {"setmin", 10}})
            QCOMPARE(field(name)->value(), value);

        m_clock.set(DateTime{Date{2024, 2, 28}, 23, 30});
        whileModal(
            *m_remindLater,
            [this] {
                auto* minutes = m_remindLater->findChild<NumericField*>("setMinLater");
                minutes->selectAll();
                QTest::keyClicks(minutes, "60");
                m_remindLater->FlatSpeedButton1Click();
            },
            "FlatSpeedButton4");
        QCOMPARE(field("setmonth")->value(), 2);
        QCOMPARE(field("setday")->value(), 29);
        QCOMPARE(field("sethour")->value(), 0);
        QCOMPARE(field("setmin")->value(), 30);
    }

    void cancelledMinutesChangeNothing() {
        whileModal(
            *m_remindLater, [this] { m_remindLater->FlatSpeedButton2Click(); }, "FlatSpeedButton4");
        QCOMPARE(field("sethour")->value(), 9);
        QCOMPARE(field("setmin")->value(), 0);
    }

    // Escape and the frame's close button leave as "取消[&C]" does: nothing
    // stored, the position kept.
    void escapeAndTheCloseButtonCancel() {
        QVERIFY(m_dialog->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        typeMessage(QStringLiteral("not stored"));
        m_dialog->move(210, 160);
        QTest::keyClick(field("setday"), Qt::Key_Escape);
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(readWindowPos(TIniFile(m_paths.config()), positions::NewItem),
                 (WindowPos{210, 160}));

        m_dialog->show();
        typeMessage(QStringLiteral("not stored"));
        QVERIFY(m_dialog->close());
        QVERIFY(!m_dialog->isVisible());
        QVERIFY(!QFile::exists(QString::fromStdString(m_paths.dataFile())));
    }

    // The lunar dialog opens at the lunar date of the date shown (today's
    // when the fields hold no day the lunar calendar lists).
    void lunarDateFillsOnlyTheDate() {
        type("sethour", "7");
        type("setday", "10");
        const auto pickFirstDay = [this] {
            QCOMPARE(m_lunarDate->findChild<QComboBox*>("setd")->currentText(), "初五");
            m_lunarDate->findChild<QComboBox*>("setd")->setCurrentIndex(0);
            MessageBox::setNextAnswer(MessageBox::Ok);
            m_lunarDate->FlatSpeedButton1Click();
        };
        whileModal(*m_lunarDate, pickFirstDay, "FlatSpeedButton5"); // 2024-06-10: 五月初五
        QCOMPARE(MessageBox::lastBox().text, QStringLiteral("对应的公历日为：2024年6月6日"));
        QCOMPARE(field("setyear")->value(), 2024);
        QCOMPARE(field("setmonth")->value(), 6);
        QCOMPARE(field("setday")->value(), 6);
        QCOMPARE(field("sethour")->value(), 7);

        type("setday", "31"); // no such day: today, 2024-06-03, is 四月廿七
        whileModal(
            *m_lunarDate,
            [this] {
                QCOMPARE(m_lunarDate->findChild<QComboBox*>("setm")->currentText(), "四月");
                QCOMPARE(m_lunarDate->findChild<QComboBox*>("setd")->currentText(), "廿七");
                m_lunarDate->FlatSpeedButton2Click();
            },
            "FlatSpeedButton5");
        QCOMPARE(field("setday")->value(), 31);

        type("setday", "9");
        whileModal(
            *m_lunarDate, [this] { m_lunarDate->FlatSpeedButton2Click(); }, "FlatSpeedButton5");
        QCOMPARE(field("setday")->value(), 9);
    }

    // 八月十五 of 2026 chosen in the lunar date dialog, then "按农历重复".
    void lunarBoxStoresTheRepetitionOfTheChosenLunarDate() {
        whileModal(
            *m_lunarDate,
            [this] {
                m_lunarDate->findChild<QComboBox*>("sety")->setCurrentIndex(26);
                m_lunarDate->findChild<QComboBox*>("setm")->setCurrentIndex(7);
                m_lunarDate->findChild<QComboBox*>("setd")->setCurrentIndex(14);
                MessageBox::setNextAnswer(MessageBox::Ok);
                m_lunarDate->FlatSpeedButton1Click();
            },
            "FlatSpeedButton5");
        QCOMPARE(control<QLabel>("lunardate")->text(), "农历八月十五");
        QVERIFY(control<QCheckBox>("lunarrepeat")->toolTip().contains("廿九"));
        box("everyyear")->setChecked(true);
        box("everyweek")->setChecked(true);
        QVERIFY(!control<QComboBox>("lunarcycle")->isEnabled());
        box("lunarrepeat")->setChecked(true);
        for (const char* name : {"everyyear", "everymonth", "everyday", "everyweek"}) {
            QVERIFY(!box(name)->isChecked());
            QVERIFY(!box(name)->isEnabled());
        }
        QVERIFY(field("setyear")->isEnabled());
        QVERIFY(field("setday")->isEnabled());
        QVERIFY(control<QComboBox>("lunarcycle")->isEnabled());
        type("sethour", "9");
        typeMessage("中秋");
        QCOMPARE(store(), QString());
        QCOMPARE(sectionKeys(dataText(), "Item1"),
                 (QStringList{"Year", "Month", "Day", "Hour", "Min", "ReMinded", "RdBefore",
                              "MindMethod", "Message", "LunarRepeat", "LunarMonth", "LunarDay",
                              "LunarLeap"}));
        const ReminderItem stored = readItem(data(), 1, kViewDefaults);
        QCOMPARE(stored.year, 2026);
        QCOMPARE(stored.month, 9);
        QCOMPARE(stored.day, 25);
        QVERIFY(stored.lunar == (LunarRepeat{LunarRepeat::kYearly, 8, 15, false}));

        // Every lunar month, from the same first occurrence.
        m_dialog->show();
        QVERIFY(!box("lunarrepeat")->isChecked());
        type("setyear", "2026");
        type("setmonth", "9");
        type("setday", "25");
        box("lunarrepeat")->setChecked(true);
        control<QComboBox>("lunarcycle")->setCurrentIndex(1);
        typeMessage("十五");
        QCOMPARE(store(), QString());
        QVERIFY(readItem(data(), 2, kViewDefaults).lunar ==
                (LunarRepeat{LunarRepeat::kMonthly, 0, 15, false}));

        // Unticked, the repetition boxes are back.
        m_dialog->show();
        box("lunarrepeat")->setChecked(false);
        QVERIFY(box("everyyear")->isEnabled());
        QVERIFY(box("everyweek")->isEnabled());
    }

    void lunarBoxRefusesAFirstOccurrenceOutsideTheCalendar() {
        box("lunarrepeat")->setChecked(true);
        typeMessage("x");
        type("setyear", "2100");
        type("setmonth", "2");
        type("setday", "9");
        QCOMPARE(store(),
                 QStringLiteral("按农历重复的首次日期必须在1901年2月19日到2100年2月8日之间！"));
        QCOMPARE(control<QLabel>("lunardate")->text(), QString());
        type("setday", "31");
        QCOMPARE(store(), QStringLiteral("按农历重复时，日期必须是公历中存在的一天！"));
        type("setday", "8");
        QCOMPARE(control<QLabel>("lunardate")->text(), "农历腊月三十");
        QCOMPARE(store(), QString());
        QCOMPARE(data().ReadInteger("Item1", "LunarDay", 0), 30);
    }

    void positionIsReadAtShowAndWrittenAtClose() {
        m_dialog->hide();
        {
            TIniFile config(m_paths.config());
            writeWindowPos(config, positions::NewItem, {120, 80});
            config.UpdateFile();
        }
        m_dialog->show();
        QCOMPARE(m_dialog->pos(), QPoint(120, 80));
        m_dialog->move(200, 150);
        press("FlatSpeedButton2");
        QCOMPARE(readWindowPos(TIniFile(m_paths.config()), positions::NewItem),
                 (WindowPos{200, 150}));
    }

    void quickPhrasesFillTheListUnchanged() {
        m_dialog->hide();
        m_dir->write("FastFinish.ini", " lead\n\r\n\xBF\xAA\xBB\xE1\r\n");
        m_dialog->show();
        QCOMPARE(message()->count(), 3);
        QCOMPARE(message()->itemText(0), QStringLiteral(" lead"));
        QCOMPARE(message()->itemText(1), QString());
        QCOMPARE(message()->itemText(2), QStringLiteral("开会"));
        QCOMPARE(message()->currentText(), QString());
        m_dialog->hide();
        QFile::remove(QString::fromStdString(m_paths.fastFinish()));
        m_dialog->show();
        QCOMPARE(message()->count(), 0);
    }

    void addCommandStoresAndTheListShowsIt() {
        test::TempDir dir;
        test::firstStart(dir);
        test::Run run(dir);
        run.window->show();
        TForm2& dialog = run.dialogs.newItem();
        QTimer::singleShot(0, &dialog, [&dialog] {
            dialog.findChild<QComboBox*>("setmsg")->setEditText(QStringLiteral("从主窗口添加"));
            QTest::mouseClick(dialog.findChild<QPushButton*>("FlatSpeedButton1"), Qt::LeftButton);
        });
        run.window->FlatSpeedButton2Click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(run.list().count(), 1);
        QVERIFY(run.list().text(0).contains(QStringLiteral("从主窗口添加")));
    }

    // The window starts at the set time: the two fields follow each other.
    // Stored with its keys; out of range refused with the check's message.
    void intervalWindowIsStoredFromItsControls() {
        type("sethour", "8");
        box("interval")->click();
        QVERIFY(control<QSpinBox>("intervalevery")->isEnabled());
        QCOMPARE(control<QTimeEdit>("intervalstart")->time(), QTime(8, 0));
        control<QTimeEdit>("intervalstart")->setTime(QTime(9, 0));
        QCOMPARE(field("sethour")->value(), 9);
        box("everyday")->click();
        typeMessage(QStringLiteral("喝水"));
        control<QSpinBox>("intervalevery")->setValue(3);
        QCOMPARE(store(), QStringLiteral("间隔提醒的间隔必须在5到720分钟之间！"));
        control<QSpinBox>("intervalevery")->setValue(45);
        control<QTimeEdit>("intervalend")->setTime(QTime(8, 30));
        QCOMPARE(store(), QStringLiteral("间隔提醒的结束时间必须晚于开始时间，并且在同一天之内！"));
        control<QTimeEdit>("intervalend")->setTime(QTime(18, 0));
        QCOMPARE(store(), QString());
        const ReminderItem item = readItem(data(), 1, kViewDefaults);
        QCOMPARE(std::tuple(item.hour, item.min), std::tuple(9, 0));
        QVERIFY(item.interval == (IntervalRule{45, 18 * 60}));
        QVERIFY(!item.warnings.any());
        // The next showing starts without them.
        m_dialog->show();
        QVERIFY(!box("interval")->isChecked());
    }

    void warningsDaysAheadAreStoredFromItsControls() {
        typeMessage(QStringLiteral("生日"));
        control<QLineEdit>("warndays")->setText(QStringLiteral("7、x"));
        QCOMPARE(store(), QStringLiteral("提前提醒的天数必须在1到30之间！"));
        control<QLineEdit>("warndays")->setText(QStringLiteral("7、1"));
        QVERIFY(!control<QTimeEdit>("warnat")->isEnabled());
        box("warnowntime")->click();
        control<QTimeEdit>("warnat")->setTime(QTime(20, 15));
        QCOMPARE(store(), QString());
        const ReminderItem item = readItem(data(), 1, kViewDefaults);
        QVERIFY(item.warnings == dayWarnings({1, 7}, 20 * 60 + 15));
        QVERIFY(!item.interval.active());
    }

    void fieldsTakeDigitsOnly() {
        int beeps = 0;
        setKitBeep([&beeps] { ++beeps; });
        field("setday")->selectAll();
        QTest::keyClicks(field("setday"), "+-.1a2");
        QCOMPARE(field("setday")->text(), QStringLiteral("12"));
        QCOMPARE(beeps, 1);
    }
};

QTEST_MAIN(AddDialogTest)
#include "AddDialogTest.moc"
