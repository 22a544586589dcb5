#pragma once

#include "storage/Paths.h"
#include "sync/SyncSetup.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QThread;

namespace kelvo {

// The sync account: the server's address, the user and the password, a
// test of the connection, the calendar to use and a sync now. The network
// is asked on a worker thread, through the sync module, loaded only when a
// button first needs it. Saving keeps the account in Config.ini and the
// password in the secret store, as `kelvoctl sync --setup` does.
class SyncAccountDialog : public QDialog {
    Q_OBJECT
public:
    explicit SyncAccountDialog(const DataPaths& paths, QWidget* parent = nullptr);
    ~SyncAccountDialog() override;

    // What the last sync of the program did, in the user's words.
    void showOutcome(const QString& text);
    // Whether a test or a save is under way.
    bool busy() const { return m_worker != nullptr; }

    void testClick();
    void trustClick();
    void saveClick();

signals:
    // The account was saved; `password` when no secret store took it.
    void accountSaved(const QString& password);
    // 立即同步 was pressed.
    void syncRequested();
    // A test or a save has ended (tests wait for it).
    void workDone();

private:
    void buildControls();
    SyncSettings entered() const;
    void runOffThread(std::function<void()> work, std::function<void()> done);
    void tested(const FoundCalendars& found);
    void offerCalendars(const std::vector<DavCalendar>& calendars);
    void saved(const SyncSetupResult& result);
    void setStatus(const QString& text);

    const DataPaths m_paths;
    QLineEdit* m_url;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QComboBox* m_calendar;
    QLabel* m_status;
    QPushButton* m_test;
    QPushButton* m_trust;
    QPushButton* m_save;
    QPushButton* m_syncNow;
    QThread* m_worker = nullptr;
    std::string m_certificate; // the fingerprint the user trusts
    std::string m_offered;     // the fingerprint the last test was refused
};

} // namespace kelvo
