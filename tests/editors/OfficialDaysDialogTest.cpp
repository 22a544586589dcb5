// The official days' choice of the add and edit dialogs, what the view
// dialog shows of it, and the word of a year without holiday data.
#include "alerts/settimelater.h"
#include "editors/edititem.h"
#include "editors/newitem.h"
#include "editors/viewitem.h"
#include "lunar/FormSetNL.h"
#include "storage/DataFile.h"
#include "storage/HandOff.h"
#include "storage/IniFile.h"
#include "support/Child.h"
#include "support/TempDir.h"
#include "widgets/MessageBox.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

// After the Qt headers: the moc cannot read the standard library it includes.
#include "core/Clock.h"

using namespace kelvo;
using kelvo::test::child;

namespace {

const char* const kWeekBoxes[] = {"week1", "week2", "week3", "week4", "week5", "week6", "week7"};

bool weekBoxesEnabled(QWidget& dialog) {
    for (const char* name : kWeekBoxes) {
        if (!child<QCheckBox>(dialog, name)->isEnabled())
            return false;
    }
    return true;
}

} // namespace

class OfficialDaysDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> m_dir;
    DataPaths m_paths;
    ManualClock m_clock;

    TIniFile data() const { return TIniFile(m_paths.dataFile()); }
    // Presses the store button; a box it shows is answered OK at once. The
    // number of boxes shown.
    int store(QWidget& dialog) const {
        const int before = MessageBox::boxCount();
        MessageBox::setNextAnswer(MessageBox::Ok);
        child<QAbstractButton>(dialog, "FlatSpeedButton1")->click();
        return MessageBox::boxCount() - before;
    }

private slots:
    void init() {
        m_dir = std::make_unique<test::TempDir>();
        m_paths = DataPaths{m_dir->path()};
        m_clock.set(DateTime{Date{2026, 6, 3}, 8, 29, 45});
    }
    void cleanup() { m_dir.reset(); }

    // The choice is open with the week box; an official one takes the
    // place of the weekdays and is stored as the Monday-to-Friday code.
    void addDialogStoresTheWorkdays() {
        TForm9 later;
        TSetNL lunar;
        TForm2 add(m_paths, m_clock, later, lunar);
        add.show();
        QComboBox* choice = child<QComboBox>(add, "officialdays");
        QCOMPARE(choice->count(), 3);
        QCOMPARE(choice->itemText(1), QStringLiteral("法定工作日"));
        QCOMPARE(choice->itemText(2), QStringLiteral("法定节假日"));
        QVERIFY(!choice->isEnabled());
        child<QCheckBox>(add, "everyweek")->click();
        QVERIFY(choice->isEnabled());
        QVERIFY(weekBoxesEnabled(add));
        choice->setCurrentIndex(1);
        QVERIFY(!child<QCheckBox>(add, "week1")->isEnabled());
        child<QComboBox>(add, "setmsg")->setEditText(QStringLiteral("打卡"));
        QCOMPARE(store(add), 0); // June: this year and the next month are known
        QVERIFY(!add.isVisible());
        const ReminderItem stored = readItem(data(), 1, kViewDefaults);
        QCOMPARE(stored.day, kMondayToFridayCode);
        QCOMPARE(stored.official, OfficialRule::Workdays);
        QCOMPARE(std::pair(stored.year, stored.month), std::pair(0, 0));
        // The next showing starts with the weekdays again.
        add.show();
        QCOMPARE(choice->currentIndex(), 0);
        QVERIFY(!choice->isEnabled());
        child<QCheckBox>(add, "everyweek")->click();
        QVERIFY(weekBoxesEnabled(add));
    }

    // In December the next year has no data yet: the user is told, then
    // the reminder is stored.
    void aYearWithoutDataIsToldBeforeStoring() {
        m_clock.set(DateTime{Date{2026, 12, 20}, 10, 0, 0});
        TForm9 later;
        TSetNL lunar;
        TForm2 add(m_paths, m_clock, later, lunar);
        add.show();
        child<QCheckBox>(add, "everyweek")->click();
        child<QComboBox>(add, "officialdays")->setCurrentIndex(1);
        child<QComboBox>(add, "setmsg")->setEditText(QStringLiteral("日报"));
        QCOMPARE(store(add), 1);
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::Information);
        QCOMPARE(MessageBox::lastBox().text,
                 QStringLiteral("2027年的节假日安排还没有导入，将按周一至周五提醒"));
        QCOMPARE(storedItemCount(data()), 1);

        add.show();
        child<QCheckBox>(add, "everyweek")->click();
        child<QComboBox>(add, "officialdays")->setCurrentIndex(2);
        child<QComboBox>(add, "setmsg")->setEditText(QStringLiteral("假期第一天"));
        QCOMPARE(store(add), 1);
        QCOMPARE(MessageBox::lastBox().text,
                 QStringLiteral("2027年的节假日安排还没有导入，这一年将不提醒"));
        QCOMPARE(readItem(data(), 2, kViewDefaults).official, OfficialRule::DaysOff);
        QCOMPARE(readItem(data(), 2, kViewDefaults).day, kWeekendCode);
    }

    // A stored rule shows as its choice with the weekdays disabled; the
    // ticked weekdays chosen again end it. The view dialog names it.
    void editAndViewDialogsShowTheRule() {
        TIniFile file(m_paths.dataFile());
        createDataFile(file);
        ReminderItem item;
        item.year = item.month = 0;
        item.day = kMondayToFridayCode;
        item.hour = 9, item.message = "站会", item.official = OfficialRule::Workdays;
        appendItem(file, item, false);
        writeHandOffItem(m_paths.handOff(), handoff::Edit, 1);
        writeHandOffItem(m_paths.handOff(), handoff::View, 1);

        TForm3 view(m_paths);
        view.show();
        QCOMPARE(child<QLineEdit>(view, "FlatEdit3")->text(), QStringLiteral("法定工作日"));

        TForm6 edit(m_paths, m_clock);
        edit.show();
        QComboBox* choice = child<QComboBox>(edit, "officialdays");
        QCOMPARE(choice->currentIndex(), 1);
        QVERIFY(choice->isEnabled());
        QVERIFY(child<QCheckBox>(edit, "everyweek")->isChecked());
        QVERIFY(!child<QCheckBox>(edit, "week1")->isEnabled());
        choice->setCurrentIndex(0);
        QVERIFY(weekBoxesEnabled(edit));
        for (const char* name : {"week1", "week3", "week4", "week5"})
            child<QCheckBox>(edit, name)->click(); // all but Tuesday unticked
        QCOMPARE(store(edit), 0);
        QVERIFY(!edit.isVisible());
        const ReminderItem changed = readItem(data(), 1, kEditDefaults);
        QCOMPARE(changed.official, OfficialRule::None);
        QCOMPARE(changed.day, 255 + 512);
    }
};

QTEST_MAIN(OfficialDaysDialogTest)
#include "OfficialDaysDialogTest.moc"
