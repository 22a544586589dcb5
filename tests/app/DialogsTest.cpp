#include "app/Dialogs.h"
#include "alerts/closewin.h"
#include "alerts/settimelater.h"
#include "clock/ShowTimeForm.h"
#include "editors/SearchForm.h"
#include "editors/newitem.h"
#include "lunar/FormSetNL.h"
#include "settings/setting.h"
#include "storage/IniFile.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "widgets/MessageBox.h"
#include "widgets/NumericField.h"

#include <QApplication>
#include <QCheckBox>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <string>

using namespace kelvo;
using namespace kelvo::test;

namespace {

// The class names of the dialogs and clock windows that exist now, sorted.
QStringList madeWindows() {
    QStringList names;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QDialog*>(w) || qobject_cast<TForm8*>(w))
            names << QString::fromLatin1(w->metaObject()->className()).remove("kelvo::");
    names.sort();
    return names;
}

int storedInt(const TempDir& dir, const std::string& section, const char* key) {
    return TIniFile(dir.file("Config.ini")).ReadInteger(section, key, -1);
}

void storePos(const TempDir& dir, const std::string& section, int left, int top) {
    TIniFile config(dir.file("Config.ini"));
    config.WriteInteger(section, "FormLeft", left);
    config.WriteInteger(section, "FormTop", top);
    config.UpdateFile();
}

// Opens the settings dialog from the main window and confirms it with the
// clock's translucency set as given.
void confirmTranslucency(Run& run, bool on, const QString& opacity) {
    QTimer::singleShot(0, [&run, on, opacity] {
        TForm5& settings = run.dialogs.settings();
        settings.findChild<QCheckBox*>("TimeFormAB")->setChecked(on);
        settings.findChild<NumericField*>("TimeFormABV")->setText(opacity);
        settings.FlatSpeedButton2Click();
    });
    run.window->FlatSpeedButton1Click();
}

int opacity(const QWidget& w) {
    return qRound(w.windowOpacity() * 255);
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setApplicationName("Kelvo"); }

    void windowsAreMadeOnFirstUseAndKept() {
        TempDir dir;
        firstStart(dir);
        Run run(dir);
        run.window->show();
        QCOMPARE(madeWindows(), QStringList());

        // Asking whether a window shows does not make it.
        QVERIFY(!run.dialogs.shownSearch());
        QVERIFY(!run.dialogs.shownClock());
        QCOMPARE(madeWindows(), QStringList());

        TForm2& newItem = run.dialogs.newItem();
        QCOMPARE(&run.dialogs.newItem(), &newItem);
        QCOMPARE(madeWindows(), (QStringList{"TForm2", "TForm9", "TSetNL"}));
        run.action("T1")->trigger();
        QCOMPARE(run.dialogs.shownClock(), &run.dialogs.clock());
        run.action("T1")->trigger();
        QVERIFY(!run.dialogs.shownClock());
        QCOMPARE(madeWindows(), (QStringList{"TForm2", "TForm8", "TForm9", "TSetNL"}));
    }

    // Only the clock stores its position at program end; one that was never
    // made must not write one, neither the default nor what it read at the
    // start. The dialogs store theirs only when closed.
    void windowsNeverMadeLeaveTheirStoredPositions() {
        TempDir dir;
        firstStart(dir);
        QCOMPARE(storedInt(dir, "TimeForm", "FormLeft"), -1);
        QCOMPARE(storedInt(dir, "TimeForm", "FormTop"), -1);

        const std::vector<std::string> sections{"TimeForm", "NewItem", "View", "Edit", "Setting"};
        {
            Run run(dir);
            run.window->show();
            // Changed by another hand while the program runs.
            for (int k = 0; k < static_cast<int>(sections.size()); ++k)
                storePos(dir, sections[k], 100 + k, 40 + k);
            QCOMPARE(madeWindows(), QStringList());
        }
        for (int k = 0; k < static_cast<int>(sections.size()); ++k) {
            QCOMPARE(storedInt(dir, sections[k], "FormLeft"), 100 + k);
            QCOMPARE(storedInt(dir, sections[k], "FormTop"), 40 + k);
        }
    }

    // The settings dialog made before the clock: the clock takes what was
    // stored when it is made, and the dialog's later notices reach it.
    void clockMadeAfterTheSettingsFollowsThem() {
        TempDir dir;
        firstStart(dir);
        Run run(dir);
        run.window->show();
        confirmTranslucency(run, true, "60");
        QVERIFY(!madeWindows().contains("TForm8"));

        run.action("T1")->trigger();
        TForm8* clock = run.dialogs.shownClock();
        QVERIFY(clock);
        QCOMPARE(opacity(*clock), 60);
        confirmTranslucency(run, true, "200");
        QCOMPARE(opacity(*clock), 200);
        confirmTranslucency(run, false, "200");
        QCOMPARE(opacity(*clock), 255);
    }

    void shutdownWindowIsMadeOnlyForAShutdownReminder() {
        TempDir dir;
        writeItems(dir, {item(8, 30, 0, "开会"), item(8, 31, 0, "AutoShutDownWindows")});
        Run run(dir);
        run.window->show();
        PopupAnswerer answerer;
        QStringList& seen = answerer.messages;
        // The countdown comes up inside its popup's show: it is answered
        // first, and the popup on a later round.
        answerer.answerFirst = [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* countdown = qobject_cast<TForm7*>(w);
                    countdown && countdown->isVisible()) {
                    seen << "countdown";
                    MessageBox::setNextAnswer(MessageBox::Yes);
                    countdown->Button1Click();
                    return true;
                }
            return false;
        };

        run.clock.set({kMonday0829.date, 8, 30});
        run.window->gtimerTimer();
        QTRY_COMPARE(seen, QStringList{"开会"});
        QVERIFY(!madeWindows().contains("TForm7"));

        seen.clear();
        run.clock.set({kMonday0829.date, 8, 31});
        run.window->gtimerTimer();
        QTRY_COMPARE(seen, (QStringList{"countdown", "AutoShutDownWindows"}));
        QCOMPARE(run.fake.power.powerOffs, 0);
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
