#pragma once

#include "storage/FileIO.h"
#include "storage/Paths.h"
#include "storage/PauseKey.h"
#include "storage/ReminderFile.h"

#include "core/DateTime.h"
#include "reminders/Occurrences.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QMenu;
class QTimer;

namespace Ui {
class TForm1;
}

namespace kelvo {

class Clock;
class ReminderEngine;
class TForm4;
class TMissedForm;
struct DueTime;
class ReminderListModel;
class SyncRunner;
class IniWriteError;
class TIniFile;
class WindowMessage;
class Dialogs;
struct FirstRunSizes;
struct Platform;

// The main window: the list of reminders, the command buttons, the tray icon
// and its menu, and the timers that drive the reminder engine. Closing it
// only hides it to the tray; the program ends when the exit is confirmed.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    TForm1(const DataPaths& paths, Platform& platform, const Clock& clock, Dialogs& dialogs,
           QWidget* parent = nullptr);
    ~TForm1() override;

    // Reloads eventlist and the engine's items from the data file. The
    // selected position stays selected when a line still stands there.
    void reloadList();

    // Deletes the reminders numbered `items` as the delete command does,
    // without asking, highest first and as one change of the file; the
    // reason when that failed (a number not in the list: nothing deleted).
    std::string deleteItems(const std::vector<int32_t>& items);

    // Stores what the program's end stores: the clock switch and the
    // window's position.
    void storeEndState();
    // The program is ending: no reminder fires any more, so that none is
    // counted as fired without having been seen.
    void endReminding();

    const ReminderEngine& engine() const { return *m_engine; }
    bool hiddenInTray() const { return m_hiddenInTray; }

signals:
    // The user confirmed the exit: the program is to end.
    void exitConfirmed();

public slots:
    // Once, after the first show: to the tray, then the start check.
    void Timer1Timer();
    // The tray icon's double click and 显示主界面: the window is shown.
    void trayDblClick();
    void N1Click();
    // 退出程序: the exit, after its question.
    void Exit1Click();
    // The minute check, at each change of the clock's minute.
    void gtimerTimer();
    // The snooze queue, when its next entry is due.
    void retimerTimer();

    // Commands on reminders and the program (Unit1Items.cpp).
    void FlatSpeedButton2Click(); // 添加提醒: the add dialog
    void FlatSpeedButton5Click(); // 编辑提醒: the edit dialog of the selected reminder
    void FlatSpeedButton4Click(); // 查看提醒: the view dialog of the selected reminder
    void FlatSpeedButton3Click(); // 删除提醒: delete the selected reminder, after asking
    void undoDelete();            // Ctrl+Z: the reminder deleted last comes back
    void FlatSpeedButton7Click(); // 软件帮助: the help page
    void H1Click();               // 帮助  信息: the help page
    void FlatSpeedButton8Click(); // 在线升级: the upgrade program
    void FlatSpeedButton6Click(); // 关于软件: the about box
    void A1Click();               // 关于本软件: the about box
    void P1Click();               // 暂停  提醒: pause or resume the minute check
    // The list's context menu on the selected reminder (Unit1Pause.cpp).
    void skipNextClick();   // 跳过下一次: its next occurrence does not fire
    void pauseUntilClick(); // 暂停到…: it reminds again from a day asked for
    void resumeClick();     // 恢复提醒: it reminds as always again
    // Settings, autorun and search (Unit1Settings.cpp).
    void FlatSpeedButton1Click();  // 系统设置: the settings dialog
    void openSyncAccount();        // 同步… in the settings dialog: the sync account
    void R1Click();                // 开机自运行: register or remove the log-on entry
    void FlatSpeedButton10Click(); // 搜索提醒: the search window
    // Import and export (Unit1Exchange.cpp).
    void FlatSpeedButton9Click(); // 导入导出: the import and export window
    // The desktop clock (Unit1Clock.cpp).
    void T1Click(); // 显示  时间: show or hide the desktop clock

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose(QCloseEvent* event);
    void FormDestroy();

    void buildTrayMenu();
    void connectItemCommands();
    void connectSettingsCommands();
    void connectExchangeCommands();
    void connectListKeys();
    void buildListMenu();
    void enableListMenu();
    // Runs a change of the selected reminder's skip or pause, then reloads.
    void changePause(const std::function<PauseOutcome(int32_t item)>& change);
    void connectWindowKeys();
    void connectClockCommands();
    // After a change of the reminders: reload the list, close the search window.
    void afterListChange();
    // Closes the search window if it is showing: its copy of the messages is stale.
    void closeSearch();
    // Reloads the list when another program changes the data file.
    void watchDataFile();
    // The selected list position, or -1 when no line is selected.
    int selectedPosition() const;
    FirstRunSizes firstRunSizes() const;
    void centreAfterFraming();
    void openSettings();
    void runStartupAutorunCheck();
    void offerAutorun(const QString& question);
    void openDataFile();
    int32_t readStartSettings();
    void countDataFileStart();
    // Runs one write of the start; a file that cannot be written is reported
    // once, though the start writes it more than once.
    void startWrite(const std::function<void()>& write);
    void showClockWindow();

    // The tray tip names the program, today's lunar date and the next
    // firing of all reminders; renewed when one of them changes.
    void updateTrayTip();
    QString trayTip();
    // "下一个提醒：…", or empty when nothing fires any more.
    QString nextOfAllTip();
    // The tip for today and the icon, both telling whether reminders are paused.
    void showTrayState();
    void hideToTray();
    void tellNoTray();
    void showFromTray();
    void mainCommand(const WindowMessage& message);
    void selectLine(int position);
    void startCheck();
    void fire(int32_t item, const FiringTime& at);
    bool remindAgain(int32_t item, const FiringTime& at);
    void showPopup(quint16 item, const QString& text, const QString& music, const DueTime& due,
                   const std::function<void()>& shown);
    void removeItems(const std::vector<int32_t>& items);
    // The open popup that a new one goes on top of; null when none is shown.
    const TForm4* topmostPopup() const;

    void makeEngineTimers();
    void armMinuteTimer();
    void armSnoozeTimer();
    void clockJumped();
    // Shows the paused tray state and arms the tip's timer for just after
    // the next midnight.
    void renewPausedTip();

    // The holiday calendar the reminders follow (Unit1Holidays.cpp): the
    // user's file read again when it changed, and the tray's word, once a
    // year, of a year without an arrangement.
    void followHolidayFile();
    void tellMissingHolidays();

    // What the engine keeps across runs (Unit1Engine.cpp).
    std::unique_ptr<ReminderEngine> makeEngine(const Clock& clock);
    void resumeEngine();
    void listMissed(const std::vector<Occasion>& missed);
    void storeSnoozes();
    void storeLastCheck();
    void storeFiredSoon();
    void storeFired();

    // The keys of the reminder deleted last, for Ctrl+Z.
    std::optional<std::vector<std::pair<std::string, std::string>>> m_lastDeleted;
    std::unique_ptr<Ui::TForm1> ui;
    ReminderListModel* m_lines;
    QMenu* PopupMenu1;
    QMenu* m_listMenu = nullptr;
    QAction* m_skipNext = nullptr;
    QAction* m_resume = nullptr;
    QAction* N1;
    QAction* T1;
    QAction* P1;
    QAction* R1;
    QAction* N4; // 添加提醒
    QAction* A1;
    QAction* H1;
    QAction* N2;
    QAction* Exit1;
    QTimer* Timer1;
    QTimer* gtimer;
    QTimer* retimer;
    QTimer* m_pausedTipTimer;
    QTimer* m_dataChangeTimer = nullptr;
    SyncRunner* m_sync = nullptr; // the account's sync, when one is set

    const DataPaths m_paths;
    Platform& m_platform;
    Dialogs& m_dialogs;
    const Clock& m_clock;
    std::unique_ptr<ReminderEngine> m_engine;
    std::vector<TForm4*> m_popups; // open, oldest first
    TMissedForm* m_missed = nullptr;
    std::string m_storedLastCheck;
    std::unique_ptr<TIniFile> m_config;
    std::unique_ptr<TIniFile> m_data;
    FileStamp m_listedVersion;                  // the data file version the list shows
    std::optional<FileStamp> m_holidaysVersion; // of the user's holiday file, once read
    std::optional<int32_t> m_toldHolidayYear;   // ToldMissingHolidays, once read

    QString m_trayTip;
    // The next firing of all as the tip shows it, until the list changes.
    std::optional<Occasion> m_nextOfAll;
    QString m_nextOfAllText;
    bool m_firstShowPending = true;
    bool m_firstRun = false;
    bool m_centringPending = false; // first positions wait for the window's frame
    bool m_hiddenInTray = false;
    bool m_exitRequested = false;
    bool m_showMain = true;
    bool m_paused = false;     // the pause command P1: no minute checks
    bool m_toldNoTray = false; // the user was told once why the window minimises
    // What a shown reminder stores, and the failures of writes while the
    // program runs, told once in the tray (Unit1Marks.cpp).
    void markShown(int32_t item, const std::string& message);
    // The user dismissed item k's reminder here, snoozed until `snoozedUntil`
    // (0: not snoozed): stored for sync to tell the other computers.
    void acknowledge(int32_t item, int64_t snoozedUntil);
    // Follows the dismissals of the list that are new since the last call:
    // the reminder's alerts that fired until then close, its snooze here
    // becomes the one given there.
    void followDismissals();
    void storeMarks();
    void writeQuietly(const std::function<void()>& write);
    void tellWriteFailure(const IniWriteError& e);

    PendingMarks m_pendingMarks;
    std::vector<Dismissal> m_listDismissals;     // as the list was last loaded
    std::vector<Dismissal> m_followedDismissals; // as followDismissals() last saw them
    bool m_snoozesUnstored = false;              // tried again at every minute
    QTimer* m_markRetry = nullptr;               // while another program holds the data file's lock
    int m_busyRetries = 0;
    bool m_firedStorePending = false;
    bool m_oneAfterAnother = false; // the start check: each popup waited for
    // The files that startWrite has reported.
    std::set<std::string> m_unwritableAtStart;
    // The kinds of write failure told in the tray: each once per run.
    std::set<int> m_toldFailures;
};

} // namespace kelvo
