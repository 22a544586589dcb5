#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kelvo {

// An exclusive lock on one data directory, held as long as this object (or
// the process) lives. It is an flock() on a lock file, so the system drops it
// when the process dies, however it dies: a crash leaves no stale lock.
class DirectoryLock {
public:
    // Binds to the directory; takes nothing yet.
    explicit DirectoryLock(const QString& dataDir);
    ~DirectoryLock();
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

    // Takes the lock without waiting. False only when another process (or
    // another DirectoryLock of this one) holds it; where no lock can be had
    // at all (no lock file can be opened, the file system has no locks) it
    // is true too: the program then runs unguarded rather than not at all.
    bool tryLock();
    // The file locked: "Kelvo.lock" in the data directory, or one in the
    // user's private runtime directory named after the data directory when
    // that cannot hold it (a read-only data directory).
    const QString& lockFile() const { return m_file; }
    // Writes the path of the owner's socket into the lock file, where later
    // starts and kelvoctl look for it; false when nothing is locked or the
    // file was opened read-only.
    bool record(const QString& socket) const;

private:
    int open();

    QString m_dir;
    QString m_file;
    int m_fd = -1;
};

// Keeps one program per data directory. The first program takes the
// directory's lock, listens on a local socket named after the directory in
// the user's private runtime directory and writes the socket's path into
// the lock file; a later start finds the lock taken, asks the running
// program through that socket (whatever its own environment would name) to
// bring its main window up, and ends. Only programs of the same user are heard, and
// nothing another user owns ends a start: without an answer from a program
// of this user the start warns and runs.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& dataDir, QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Start { First, AlreadyRunning };
    // First: this program runs on the directory and now hears requests.
    // AlreadyRunning: another program owns it and was asked to show itself.
    Start start();

    // Deletes the reminders numbered `items` (highest first) as the delete
    // command does; returns an empty text when done, else the reason.
    using DeleteHandler = std::function<std::string(const std::vector<int32_t>& items)>;
    void setDeleteHandler(DeleteHandler handler) { m_deleteHandler = std::move(handler); }

    // The local socket's path for a data directory; empty without a private
    // runtime directory.
    static QString socketName(const QString& dataDir);

signals:
    // A later start on the same directory asks for the main window.
    void showRequested();

private:
    void listen();
    void acceptRequests();
    bool readRequest(int connection);
    std::string answer(const std::string& request);
    bool askRunningProgram() const;

    QString m_dataDir;
    QString m_socketName;
    DirectoryLock m_lock;
    DeleteHandler m_deleteHandler;
    int m_listening = -1; // the listening socket, once start() made this the first
    // Connections whose request line is not complete yet, with what came.
    std::map<int, std::string> m_pending;
};

} // namespace kelvo
