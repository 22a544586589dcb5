#pragma once

#include "alerts/showmsg.h"
#include "app/Dialogs.h"
#include "app/Messages.h"
#include "app/Unit1.h"
#include "core/Clock.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "system/RegAutoRun.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

namespace kelvo::test {

inline const DateTime kMonday0829{Date{2024, 6, 3}, 8, 29};

// One run of the program on a data directory: the dialogs, the main window
// and the platform doubles, with a clock the test sets.
struct Run {
    explicit Run(const TempDir& dir, bool trayAvailable = true) : paths{dir.path()} {
        fake.tray.available = trayAvailable;
        // Registered to start at log-on already, so starts ask nothing about it.
        fake.autorun.entries[kAutorunName] = QCoreApplication::applicationFilePath();
        window = std::make_unique<TForm1>(paths, fake.platform, clock, dialogs);
    }
    TIniFile config() const { return TIniFile(paths.config()); }
    QListWidget* list() const { return window->findChild<QListWidget*>("eventlist"); }
    QAction* action(const char* name) const { return window->findChild<QAction*>(name); }
    void command(qint64 code, qint64 argument) {
        WindowMessage message(kMainCommand, code, argument);
        QCoreApplication::sendEvent(window.get(), &message);
    }

    DataPaths paths;
    FakePlatform fake;
    ManualClock clock{kMonday0829};
    Dialogs dialogs{paths, fake.platform, clock};
    std::unique_ptr<TForm1> window;
};

// Starts and ends the program once, leaving the files of a first start.
inline void firstStart(const TempDir& dir) {
    Run run(dir);
    run.window->show();
}

inline ReminderItem item(int hour, int min, int mindMethod, const std::string& message) {
    ReminderItem r;
    r.year = r.month = r.day = 0;
    r.hour = hour;
    r.min = min;
    r.mindMethod = mindMethod;
    r.message = message;
    return r;
}

inline void writeItems(const TempDir& dir, const std::vector<ReminderItem>& items) {
    TIniFile data(dir.file("DataFile.dat"));
    createDataFile(data);
    for (const ReminderItem& r : items)
        appendItem(data, r, !r.music.empty());
}

// Watches for reminder popups while a test step runs and answers each one:
// records its message, then closes it or presses its snooze button.
class PopupAnswerer : public QObject {
public:
    explicit PopupAnswerer(bool snooze = false) : m_snooze(snooze) {
        connect(&m_timer, &QTimer::timeout, this, &PopupAnswerer::answer);
        m_timer.start(10);
    }
    QStringList messages;
    QStringList snoozeCaptions;

private:
    void answer() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* popup = qobject_cast<TForm4*>(w);
            if (!popup || !popup->isVisible())
                continue;
            messages << popup->findChild<QAbstractButton*>("showmsg")->text();
            auto* snoozeButton = popup->findChild<QAbstractButton*>("FlatSpeedButton2");
            snoozeCaptions << snoozeButton->text();
            if (m_snooze)
                snoozeButton->click();
            else
                popup->close();
        }
    }
    bool m_snooze;
    QTimer m_timer;
};

} // namespace kelvo::test
