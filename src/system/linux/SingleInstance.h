#pragma once

#include <QObject>
#include <QString>

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
    // temporary directory named after the data directory when that cannot
    // hold it (a read-only data directory).
    const QString& lockFile() const { return m_file; }

private:
    int open();

    QString m_dir;
    QString m_file;
    int m_fd = -1;
};

// Keeps one program per data directory. The first program takes the
// directory's lock and listens on a local socket named after the directory;
// a later start finds the lock taken, asks the running program through the
// socket to bring its main window up, and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& dataDir, QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Start { First, AlreadyRunning };
    // First: this program owns the directory and now hears show requests.
    // AlreadyRunning: another program owns it and was asked to show itself.
    Start start();

    // The local socket's path for a data directory, in the temporary
    // directory: the same for every spelling of the data directory's path
    // (symbolic links, "..", a trailing slash).
    static QString socketName(const QString& dataDir);

signals:
    // A later start on the same directory asks for the main window.
    void showRequested();

private:
    void listen();
    void acceptRequests();
    void askRunningProgram() const;

    QString m_socketName;
    DirectoryLock m_lock;
    int m_listening = -1; // the listening socket, once start() made this the first
};

} // namespace kelvo
