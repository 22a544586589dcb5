#pragma once

#include "storage/FileIO.h"
#include "storage/Paths.h"
#include "sync/SyncEngine.h"

#include <QObject>
#include <QString>

#include <optional>
#include <set>
#include <string>

class QThread;
class QTimer;
class QWidget;

namespace kelvo {

class Clock;
class SyncAccountDialog;
struct Platform;

// Runs the sync of the account set in Config.ini, on a worker thread, so
// that the windows never wait for the network: a few seconds after the
// start, a minute after a change of the data file, every 15 minutes and
// after a resume from suspend. Without an account it only reads Config.ini
// and loads nothing. A failure is told once in the tray and tried again
// later, waiting longer each time; nothing is deleted for it. The main
// window reloads the list when the data file changes, as for any program's
// change.
class SyncRunner : public QObject {
    Q_OBJECT
public:
    SyncRunner(const DataPaths& paths, Platform& platform, const Clock& clock, QWidget* window);
    ~SyncRunner() override;

    // Starts the timers when an account is set, and a first sync soon;
    // called again, it looks again while none was set.
    void start();
    // A sync now (or right after the one under way).
    void syncNow();
    // The account was set or changed in the program: syncs with it from now
    // on, with `password` when no secret store took it.
    void accountSet(const QString& password);
    // Takes the dialog's account and 立即同步, and tells it what syncs do.
    void attach(SyncAccountDialog& dialog);
    // Whether an account is set and synced with.
    bool active() const { return m_started; }

signals:
    // What a sync did, or why it did not finish, in the user's words.
    void synced(const QString& outcome);

private:
    struct Outcome {
        std::optional<SyncReport> report;
        std::string error;
        DavFailure failure = DavFailure::None;
        bool noPassword = false;
    };
    Outcome runSync(const std::string& password) const;
    void finished(const Outcome& outcome);
    void tell(const Outcome& outcome);
    void tellFailure(const Outcome& outcome);
    void askPassword();

    DataPaths m_paths;
    Platform& m_platform;
    const Clock& m_clock;
    QWidget* m_window;
    QTimer* m_every;
    QTimer* m_afterChange;
    QTimer* m_retry;
    QThread* m_worker = nullptr;
    bool m_started = false;
    bool m_again = false;
    int m_failures = 0;
    std::set<int> m_toldFailures;          // each kind of failure is told once a run
    std::optional<std::string> m_password; // asked for when there is no secret store
    FileStamp m_syncedVersion;             // the data file as the last sync left it
};

} // namespace kelvo
