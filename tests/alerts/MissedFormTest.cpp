#include "alerts/missedform.h"
#include "storage/ConfigFile.h"
#include "storage/IniFile.h"
#include "storage/ReminderFile.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QTest>
#include <QTreeWidget>

using namespace kelvo;
using namespace kelvo::test;

class MissedFormTest : public QObject {
    Q_OBJECT
private slots:
    // The missed reminders are listed with nothing hidden or reordered; the
    // check box switches the list off.
    void rowsShowTheirTextPlainlyAndTheBoxSwitchesTheListOff() {
        TempDir dir;
        TMissedForm form(DataPaths{dir.path()});
        form.addRows(
            {{"2026-12-08 08:30", "\u202Etxt.exe" + std::string(5, ' ') + "[cmd:x]", "定时提醒"}});
        QVERIFY(form.isVisible());
        const QTreeWidgetItem* row = form.findChild<QTreeWidget*>("missedlist")->topLevelItem(0);
        QCOMPARE(row->text(0), "2026-12-08 08:30");
        QCOMPARE(row->text(1), "<U+202E>txt.exe␣×5[cmd:x]");
        form.findChild<QCheckBox*>("nomore")->click();
        QCOMPARE(settings::ShowMissed.read(TIniFile(dir.file("Config.ini"))), false);
    }
};

QTEST_MAIN(MissedFormTest)
#include "MissedFormTest.moc"
