#pragma once

#include "alerts/showmsg.h"
#include "app/Dialogs.h"
#include "app/Unit1.h"
#include "core/Clock.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "system/RegAutoRun.h"
#include "widgets/Messages.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QListView>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelvo::test {

inline const DateTime kMonday0829{Date{2024, 6, 3}, 8, 29};

// The main window's list as a test reads and selects it.
class MainList {
public:
    explicit MainList(QListView* view) : m_view(view) {}
    int count() const { return m_view->model()->rowCount(); }
    int currentRow() const { return m_view->currentIndex().row(); }
    void setCurrentRow(int row) {
        m_view->selectionModel()->setCurrentIndex(m_view->model()->index(row, 0),
                                                  QItemSelectionModel::ClearAndSelect);
    }
    void clearSelection() { m_view->clearSelection(); }
    bool hasSelection() const { return m_view->selectionModel()->hasSelection(); }
    QString text(int row) const { return m_view->model()->index(row, 0).data().toString(); }
    QString currentText() const { return m_view->currentIndex().data().toString(); }
    QStringList lines() const {
        QStringList result;
        for (int row = 0; row < count(); ++row)
            result << text(row);
        return result;
    }

private:
    QListView* m_view;
};

// One run of the program on a data directory: the dialogs, the main window
// and the platform doubles, with a clock the test sets.
struct Run {
    // `notifier`: the desktop's notifications, when not the double's.
    explicit Run(const TempDir& dir, bool trayAvailable = true, Notifier* notifier = nullptr)
        : paths{dir.path()}, platform{fake.sound,      fake.shell,
                                      fake.tray,       fake.power,
                                      fake.autorun,    fake.dataFileWatch,
                                      fake.clockWatch, notifier ? *notifier : fake.notifier} {
        fake.tray.available = trayAvailable;
        // Registered to start at log-on already, so starts ask nothing about it.
        fake.autorun.entries[kAutorunName] = QStringList{QCoreApplication::applicationFilePath()};
        window = std::make_unique<TForm1>(paths, platform, clock, dialogs);
    }
    TIniFile config() const { return TIniFile(paths.config()); }
    MainList list() const { return MainList(window->findChild<QListView*>("eventlist")); }
    QAction* action(const char* name) const { return window->findChild<QAction*>(name); }
    void command(qint64 code, qint64 argument) {
        WindowMessage message(kMainCommand, code, argument);
        QCoreApplication::sendEvent(window.get(), &message);
    }

    DataPaths paths;
    FakePlatform fake;
    Platform platform;
    ManualClock clock{kMonday0829};
    Dialogs dialogs{paths, platform, clock};
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
    // Asked first at every round, for a window a popup opens over itself;
    // true when it answered one: the popups wait for a later round.
    std::function<bool()> answerFirst;

private:
    void answer() {
        if (answerFirst && answerFirst())
            return;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* popup = qobject_cast<TForm4*>(w);
            if (!popup || !popup->isVisible())
                continue;
            messages << popup->message();
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
