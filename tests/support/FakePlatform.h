#pragma once

#include "support/FakeTray.h"
#include "system/Autorun.h"
#include "system/ClockWatch.h"
#include "system/FileWatch.h"
#include "system/Platform.h"
#include "system/Power.h"
#include "system/Shell.h"
#include "system/Sound.h"

#include <QMap>
#include <QStringList>

#include <memory>

namespace kelvo::test {

// Sound output that records what it was asked to play. A playback it hands
// out counts itself stopped when it is destroyed.
class FakeSound : public Sound {
public:
    QStringList played;
    int beeps = 0;
    int stopped = 0;
    bool playable = true; // false: every file fails to play

    std::unique_ptr<Playback> play(const QString& file) override {
        played << file;
        if (!playable)
            return nullptr;
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

    void runCommandLine(const QString& commandLine) override { commandLines << commandLine; }
    void openDocument(const QString& target) override { documents << target; }
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
            throw AutorunError::failedToSet(name);
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

// The doubles of every platform service, wired into one Platform.
struct FakePlatform {
    FakeSound sound;
    FakeShell shell;
    FakeTray tray;
    FakePower power;
    FakeAutorun autorun;
    FakeFileWatch dataFileWatch;
    FakeClockWatch clockWatch;
    Platform platform{sound, shell, tray, power, autorun, dataFileWatch, clockWatch};
};

} // namespace kelvo::test
