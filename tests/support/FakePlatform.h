#pragma once

#include "support/FakeTray.h"
#include "system/Autorun.h"
#include "system/ClockWatch.h"
#include "system/FileWatch.h"
#include "system/Notifier.h"
#include "system/Platform.h"
#include "system/Power.h"
#include "system/Shell.h"
#include "system/Sound.h"

#include <QMap>
#include <QStringList>

#include <memory>
#include <vector>

namespace kelvo::test {

// Sound output that records what it was asked to play. A playback it hands
// out counts itself stopped when it is destroyed.
class FakeSound : public Sound {
public:
    QStringList played;
    QList<bool> repeated; // the repeat flag of each play
    int beeps = 0;
    int stopped = 0;
    bool playable = true; // false: every file fails to play

    std::unique_ptr<Playback> play(const QString& file, bool repeat) override {
        played << file;
        repeated << repeat;
        if (!playable)
            return failed(QStringLiteral("不支持的格式"));
        return std::make_unique<FakePlayback>(stopped);
    }
    void beep() override { ++beeps; }

private:
    class FakePlayback : public Playback {
    public:
        explicit FakePlayback(int& stopped) : m_stopped(stopped) {}
        ~FakePlayback() override { ++m_stopped; }

    private:
        int& m_stopped;
    };
};

// A shell that records the commands it was asked to run and the documents it
// was asked to open, and starts nothing.
class FakeShell : public Shell {
public:
    QStringList commandLines;
    QStringList documents;
    // Whether the desktop has a program for what is opened.
    bool opens = true;

    void runCommandLine(const QString& commandLine) override { commandLines << commandLine; }
    bool openDocument(const QString& target) override {
        documents << target;
        return opens;
    }
};

// Counts power-off requests; never switches anything off.
class FakePower : public Power {
public:
    int powerOffs = 0;
    void powerOff() override { ++powerOffs; }
};

// Log-on entries kept in memory. `failWrites` makes every write fail as a
// file that cannot be written does.
class FakeAutorun : public Autorun {
public:
    QMap<QString, QStringList> entries;
    bool failWrites = false;

    QStringList read(const QString& name) override { return entries.value(name); }
    void write(const QString& name, const QStringList& command) override {
        if (failWrites)
            throw AutorunError::failedToSet(name,
                                            QStringLiteral("无法写入 %1：权限不够").arg(name));
        entries[name] = command;
    }
    void remove(const QString& name) override { entries.remove(name); }
};

// A file watch that tells of a change when the test says so.
class FakeFileWatch : public FileWatch {
public:
    QString file;
    void watch(const QString& watched) override { file = watched; }
    void notice() { emit changed(); }
};

// A clock watch that tells of a jump of the clock when the test says so.
class FakeClockWatch : public ClockWatch {
public:
    void jump() { emit jumped(); }
};

// A notification service that records what it was asked to show; the test
// plays the desktop's part with act() and dismiss().
class FakeNotifier : public Notifier {
public:
    struct Shown {
        uint id;
        QString title, body;
        QList<Action> actions;
    };
    bool available = true;
    bool refuses = false; // the service answers without showing (number 0)
    std::vector<Shown> shown;

    bool isAvailable() const override { return available; }
    void notify(const QString& title, const QString& body, const QList<Action>& actions,
                std::function<void(uint)> done) override {
        const uint id = refuses ? 0u : static_cast<uint>(shown.size()) + 1;
        shown.push_back({id, title, body, actions});
        QMetaObject::invokeMethod(
            this, [done, id] { done(id); }, Qt::QueuedConnection);
    }
    std::vector<uint> closedByProgram;
    void close(uint id) override {
        closedByProgram.push_back(id);
        emit closed(id);
    }
    void act(uint id, const QString& key) { emit actionInvoked(id, key); }
    void dismiss(uint id) { emit closed(id); }
    void vanish() { emit serviceLost(); }
};

// The doubles of every platform service, wired into one Platform.
struct FakePlatform {
    FakeSound sound;
    FakeShell shell;
    FakeTray tray;
    FakePower power;
    FakeAutorun autorun;
    FakeFileWatch dataFileWatch;
    FakeClockWatch clockWatch;
    FakeNotifier notifier;
    Platform platform{sound, shell, tray, power, autorun, dataFileWatch, clockWatch, notifier};
};

} // namespace kelvo::test
