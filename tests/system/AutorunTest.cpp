#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "system/RegAutoRun.h"
#include "system/linux/XdgAutorun.h"
#include "widgets/MessageBox.h"

#include <QAction>
#include <QDir>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <optional>

using namespace kelvo;
using namespace kelvo::test;

namespace {

// Answers, from the event loop, every message box that comes up modally
// (the second box of a step, after MessageBox::setNextAnswer took the first).
class BoxCloser : public QObject {
public:
    BoxCloser() {
        connect(&m_timer, &QTimer::timeout, this, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
                    box->done(QMessageBox::Ok);
        });
        m_timer.start(10);
    }

private:
    QTimer m_timer;
};

// One start of the program on `dir` with the log-on entry as given; the
// earlier start (for a later one) leaves Config.ini behind.
struct AutorunStart {
    AutorunStart(const TempDir& dir, bool firstRun, const QString& entry) {
        if (!firstRun)
            firstStart(dir);
        run = std::make_unique<Run>(dir);
        if (entry.isEmpty())
            run->fake.autorun.entries.clear();
        else
            run->fake.autorun.entries[kAutorunName] = QStringList{entry};
    }
    // Shows the main window; `answer` answers the first box expected.
    void show(std::optional<MessageBox::Button> answer = std::nullopt) {
        boxesBefore = MessageBox::boxCount();
        if (answer)
            MessageBox::setNextAnswer(*answer);
        BoxCloser closer;
        run->window->show();
    }
    bool ticked() const { return run->action("R1")->isChecked(); }
    QString entry() const { return run->fake.autorun.entries.value(kAutorunName).join(u' '); }
    int boxes() const { return MessageBox::boxCount() - boxesBefore; }

    std::unique_ptr<Run> run;
    int boxesBefore = 0;
};

const QString kElsewhere = QStringLiteral("/opt/other copy/kelvo");

} // namespace

class AutorunTest : public QObject {
    Q_OBJECT
private slots:
    // No test may reach the user's real autostart folder.
    void initTestCase() {
        QApplication::setApplicationName("Kelvo");
        m_home = std::make_unique<TempDir>();
        qputenv("HOME", QByteArray::fromStdString(m_home->path()));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_home->file("config")));
    }

    void startupDecision() {
        const QStringList self{"/usr/bin/kelvo"};
        const QStringList none, elsewhere{kElsewhere};
        QCOMPARE(startupAutorunStep(true, none, self), StartupAutorun::AskToRegister);
        QCOMPARE(startupAutorunStep(true, elsewhere, self), StartupAutorun::Nothing);
        QCOMPARE(startupAutorunStep(true, self, self), StartupAutorun::Nothing);
        QCOMPARE(startupAutorunStep(false, none, self), StartupAutorun::Nothing);
        QCOMPARE(startupAutorunStep(false, self, self), StartupAutorun::Registered);
        QCOMPARE(startupAutorunStep(false, {"/USR/BIN/KELVO"}, self), StartupAutorun::AskToCorrect);
        QCOMPARE(startupAutorunStep(false, {"\"/usr/bin/kelvo\""}, self),
                 StartupAutorun::AskToCorrect);
        // The data directory is part of what the entry must start.
        const QStringList onDir{"/usr/bin/kelvo", "--dir", "/home/u/提醒"};
        QCOMPARE(startupAutorunStep(false, onDir, onDir), StartupAutorun::Registered);
        QCOMPARE(startupAutorunStep(false, self, onDir), StartupAutorun::AskToCorrect);
        QCOMPARE(startupAutorunStep(false, {"/usr/bin/kelvo", "--dir", "/home/u/other"}, onDir),
                 StartupAutorun::AskToCorrect);
        QCOMPARE(startupAutorunStep(false, onDir, self), StartupAutorun::AskToCorrect);
    }

    // --- the autostart file ----------------------------------------------

    void writeCreatesADesktopEntryAndReadReturnsItsProgram() {
        XdgAutorun autorun;
        QCOMPARE(XdgAutorun::directory(), QString::fromStdString(m_home->file("config/autostart")));
        QCOMPARE(autorun.read(kAutorunName), QStringList());
        autorun.write(kAutorunName, {"/usr/bin/kelvo"});
        const std::string file = m_home->file("config/autostart/Kelvo1.00.desktop");
        QCOMPARE(m_home->read("config/autostart/Kelvo1.00.desktop"),
                 "[Desktop Entry]\nType=Application\nName=Kelvo\n"
                 "Comment=Reminds you of dates and times from the system tray\n"
                 "Comment[zh_CN]=在系统托盘中按日期和时间提醒您\nIcon=kelvo\n"
                 "Exec=/usr/bin/kelvo\n");
        QCOMPARE(autorun.read(kAutorunName), QStringList{"/usr/bin/kelvo"});

        const QStringList onDir{"/opt/kelvo/kelvo", "--dir", "/home/u/My Reminders"};
        autorun.write(kAutorunName, onDir);
        QVERIFY(m_home->read("config/autostart/Kelvo1.00.desktop")
                    .ends_with("Exec=/opt/kelvo/kelvo --dir \"/home/u/My Reminders\"\n"));
        QCOMPARE(autorun.read(kAutorunName), onDir);
        QCOMPARE(QDir(XdgAutorun::directory()).entryList(QDir::Files).size(), 1);

        autorun.remove(kAutorunName);
        QVERIFY(!std::filesystem::exists(file));
        QCOMPARE(autorun.read(kAutorunName), QStringList());
        autorun.remove(kAutorunName);
    }

    void defaultFolderIsInTheHomeConfig() {
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(XdgAutorun::directory(),
                 QString::fromStdString(m_home->path()) + "/.config/autostart");
        qputenv("XDG_CONFIG_HOME", saved);
    }

    void pathsWithReservedCharactersRoundTrip() {
        XdgAutorun autorun;
        const QStringList paths{"/home/u/My Apps/kelvo", "/opt/it's \"quoted\"/kelvo",
                                "/opt/a\\b $HOME `x` 100%/kelvo", "/opt/新 建/kelvo",
                                "/opt/tab\there/kelvo"};
        for (const QString& path : paths) {
            autorun.write(kAutorunName, {path});
            QCOMPARE(autorun.read(kAutorunName), QStringList{path});
            autorun.write(kAutorunName, {"/usr/bin/kelvo", "--dir", path});
            QCOMPARE(autorun.read(kAutorunName), (QStringList{"/usr/bin/kelvo", "--dir", path}));
        }
        QCOMPARE(desktopExecValue({"/home/u/My Apps/kelvo"}), "\"/home/u/My Apps/kelvo\"");
        // The string escapes apply over the quoting: \" of the quoting is \\" in the file.
        QCOMPARE(desktopExecValue({"/opt/say \"hi\"/k"}), "\"/opt/say \\\\\"hi\\\\\"/k\"");
        QCOMPARE(desktopExecValue({"/opt/a\\b/k"}), "\"/opt/a\\\\\\\\b/k\"");
        QCOMPARE(desktopExecValue({"/opt/100%/k", "--dir", "/d/50%"}),
                 "/opt/100%%/k --dir /d/50%%");
        autorun.remove(kAutorunName);
    }

    void execOfAnEditedEntry() {
        QCOMPARE(desktopExecCommand("/usr/bin/kelvo --dir /data"),
                 (QStringList{"/usr/bin/kelvo", "--dir", "/data"}));
        QCOMPARE(desktopExecCommand("\"/a b/kelvo\" %U  x"), (QStringList{"/a b/kelvo", "x"}));
        QCOMPARE(desktopExecCommand("\"/a b/kelvo"), QStringList());
        QCOMPARE(desktopExecCommand(""), QStringList());
        m_home->write("config/autostart/Kelvo1.00.desktop",
                      "[Desktop Entry]\nType=Application\nName=Kelvo\n");
        QCOMPARE(XdgAutorun().read(kAutorunName), QStringList());
        m_home->write("config/autostart/Kelvo1.00.desktop",
                      "[Other]\nExec=/x\n[Desktop Entry]\nName=Kelvo\nExec = /y/kelvo\n");
        QCOMPARE(XdgAutorun().read(kAutorunName), QStringList{"/y/kelvo"});
        // Switched off in the desktop's own settings: no entry.
        for (const char* off : {"Hidden=true", "X-GNOME-Autostart-enabled=false"}) {
            m_home->write("config/autostart/Kelvo1.00.desktop",
                          std::string("[Desktop Entry]\nExec=/y/kelvo\n") + off + "\n");
            QCOMPARE(XdgAutorun().read(kAutorunName), QStringList());
        }
        m_home->write("config/autostart/Kelvo1.00.desktop",
                      "[Desktop Entry]\nExec=/y/kelvo\nHidden=false\n"
                      "X-GNOME-Autostart-enabled=true\n");
        QCOMPARE(XdgAutorun().read(kAutorunName), QStringList{"/y/kelvo"});
        XdgAutorun().remove(kAutorunName);
    }

    void unwritableFolderFailsWithTheValueName() {
        const TempDir blocked;
        blocked.write("autostart", "a file where the folder should be");
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(blocked.path()));
        try {
            XdgAutorun().write(kAutorunName, {"/usr/bin/kelvo"});
            QFAIL("no error");
        } catch (const AutorunError& e) {
            QCOMPARE(QString(e.what()), "Failed to set data for 'Kelvo1.00'");
            // The folder and the reason, in the user's language, come first.
            QCOMPARE(e.message(),
                     QStringLiteral("无法写入 %1/autostart：路径中有一部分不是文件夹。\n\n"
                                    "Failed to set data for 'Kelvo1.00'")
                         .arg(QString::fromStdString(blocked.path())));
        }
        qputenv("XDG_CONFIG_HOME", saved);
    }

    // --- the start-up check ------------------------------------------------

    void firstStartOffersToRegister() {
        TempDir dir;
        AutorunStart start(dir, true, "");
        start.show(MessageBox::Yes);
        QCOMPARE(start.boxes(), 2);
        QCOMPARE(start.entry(), QCoreApplication::applicationFilePath());
        QVERIFY(start.ticked());
        QCOMPARE(MessageBox::lastBox().caption, "成功");
        QCOMPARE(MessageBox::lastBox().text, "自动运行注册成功！");
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::Information);

        TempDir other;
        AutorunStart declined(other, true, "");
        declined.show(MessageBox::No);
        QCOMPARE(declined.boxes(), 1);
        QCOMPARE(MessageBox::lastBox().caption, "询问");
        QCOMPARE(MessageBox::lastBox().text, "是否要开机运行本程序(推荐选择是)？");
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::Question);
        QCOMPARE(MessageBox::lastBox().buttons, MessageBox::Yes | MessageBox::No);
        QVERIFY(!declined.ticked());
        QCOMPARE(declined.entry(), "");
    }

    void firstStartWithAnyEntryAsksNothing() {
        TempDir dir;
        AutorunStart start(dir, true, kElsewhere);
        start.show();
        QCOMPARE(start.boxes(), 0);
        QVERIFY(!start.ticked());
        QCOMPARE(start.entry(), kElsewhere);
    }

    void laterStartOffersToCorrectAnEntryPointingElsewhere() {
        TempDir dir;
        AutorunStart declined(dir, false, kElsewhere);
        declined.show(MessageBox::No);
        QCOMPARE(declined.boxes(), 1);
        QCOMPARE(MessageBox::lastBox().text, "注册表中自动运行不是指向本程序，是否更改？");
        QVERIFY(!declined.ticked());
        QCOMPARE(declined.entry(), kElsewhere);

        TempDir other;
        AutorunStart corrected(other, false, kElsewhere);
        corrected.show(MessageBox::Yes);
        QCOMPARE(corrected.boxes(), 2);
        QCOMPARE(MessageBox::lastBox().text, "自动运行注册成功！");
        QVERIFY(corrected.ticked());
        QCOMPARE(corrected.entry(), QCoreApplication::applicationFilePath());
    }

    void laterStartTicksAMatchingEntryAndIgnoresNone() {
        TempDir dir;
        AutorunStart registered(dir, false, QCoreApplication::applicationFilePath());
        registered.show();
        QCOMPARE(registered.boxes(), 0);
        QVERIFY(registered.ticked());

        TempDir other;
        AutorunStart none(other, false, "");
        none.show();
        QCOMPARE(none.boxes(), 0);
        QVERIFY(!none.ticked());
    }

    void failingRegistrationLeavesTheMarkAndSaysWhy() {
        TempDir dir;
        AutorunStart start(dir, true, "");
        start.run->fake.autorun.failWrites = true;
        start.show(MessageBox::Yes);
        QCOMPARE(start.boxes(), 2);
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::Critical);
        QCOMPARE(MessageBox::lastBox().text,
                 "无法写入 Kelvo1.00：权限不够。\n\nFailed to set data for 'Kelvo1.00'");
        QVERIFY(!start.ticked());
    }

    // --- the R1 command ----------------------------------------------------

    void tickingWritesAtOnceAndUntickingAsksFirst() {
        TempDir dir;
        AutorunStart start(dir, false, "");
        start.show();
        QAction* R1 = start.run->action("R1");
        const int boxes = MessageBox::boxCount();
        R1->trigger();
        QVERIFY(R1->isChecked());
        QCOMPARE(MessageBox::boxCount(), boxes);
        QCOMPARE(start.entry(), QCoreApplication::applicationFilePath());

        MessageBox::setNextAnswer(MessageBox::No);
        R1->trigger();
        QCOMPARE(MessageBox::lastBox().text, "真的要取消本程序的自动运行吗？");
        QCOMPARE(MessageBox::lastBox().caption, "询问");
        QCOMPARE(MessageBox::lastBox().defaultButton, MessageBox::No);
        QVERIFY(R1->isChecked());
        QCOMPARE(start.entry(), QCoreApplication::applicationFilePath());

        MessageBox::setNextAnswer(MessageBox::Yes);
        R1->trigger();
        QVERIFY(!R1->isChecked());
        QVERIFY(!start.run->fake.autorun.entries.contains(kAutorunName));
    }

    void failingWriteKeepsR1Unticked() {
        TempDir dir;
        AutorunStart start(dir, false, "");
        start.show();
        start.run->fake.autorun.failWrites = true;
        MessageBox::setNextAnswer(MessageBox::Ok);
        start.run->action("R1")->trigger();
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::Critical);
        QCOMPARE(MessageBox::lastBox().text,
                 "无法写入 Kelvo1.00：权限不够。\n\nFailed to set data for 'Kelvo1.00'");
        QVERIFY(!start.ticked());
    }

private:
    std::unique_ptr<TempDir> m_home;
};

QTEST_MAIN(AutorunTest)
#include "AutorunTest.moc"
