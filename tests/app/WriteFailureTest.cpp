// Every command that writes, on a data directory where writing really fails:
// a read-only directory, a read-only file and a full disk. The command says
// so in a message box, the files stay byte for byte as they were, the
// program's list still matches them, and once writing works again the same
// command stores.
#include "clock/ShowTimeForm.h"
#include "editors/edititem.h"
#include "editors/newitem.h"
#include "editors/setfast.h"
#include "exchange/exportitems.h"
#include "settings/setting.h"
#include "storage/ConfigFile.h"
#include "storage/HandOff.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "widgets/FileDialog.h"
#include "widgets/MessageBox.h"
#include "widgets/NumericField.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kelvo;
using namespace kelvo::test;

namespace {

enum class Failure { ReadOnlyDirectory, ReadOnlyFile, FullDisk };

// The user that root turns into for the read-only cases: permissions do not
// stop root, so a read-only mark is only real for someone else.
constexpr uid_t kNobody = 65534;

bool isRoot() {
    return ::geteuid() == 0;
}

// Makes writing in the directory fail for real while it lives: by the
// permissions of the directory or of one file (as an unprivileged user when
// the test runs as root), or by a file size limit of zero bytes, which fails
// every write as a full disk does.
class BlockedWrites {
public:
    BlockedWrites(const TempDir& dir, Failure failure, const std::string& file)
        : m_dir(dir.path()), m_file(dir.file(file)), m_failure(failure) {
        switch (failure) {
        case Failure::ReadOnlyDirectory:
            ::chmod(m_dir.c_str(), 0555);
            dropPrivileges();
            break;
        case Failure::ReadOnlyFile:
            ::chmod(m_file.c_str(), 0444);
            // The directory allows new files: only the file's mark protects it.
            if (isRoot())
                (void)!::chown(m_dir.c_str(), kNobody, static_cast<gid_t>(-1));
            dropPrivileges();
            break;
        case Failure::FullDisk:
            ::getrlimit(RLIMIT_FSIZE, &m_limit);
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit none{0, m_limit.rlim_max};
            ::setrlimit(RLIMIT_FSIZE, &none);
            break;
        }
    }
    ~BlockedWrites() {
        if (m_dropped)
            (void)!::seteuid(0);
        if (m_failure == Failure::FullDisk)
            ::setrlimit(RLIMIT_FSIZE, &m_limit);
        if (isRoot())
            (void)!::chown(m_dir.c_str(), 0, static_cast<gid_t>(-1));
        ::chmod(m_dir.c_str(), 0755);
        ::chmod(m_file.c_str(), 0644);
    }
    BlockedWrites(const BlockedWrites&) = delete;
    BlockedWrites& operator=(const BlockedWrites&) = delete;

    // Whether a plain write of the file really fails now.
    bool real() const {
        const std::string probe = m_failure == Failure::ReadOnlyFile ? m_file : m_dir + "/probe";
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd < 0)
            return true;
        const bool written = ::write(fd, "x", 1) == 1;
        ::close(fd);
        if (probe != m_file)
            ::unlink(probe.c_str());
        return !written;
    }

private:
    void dropPrivileges() { m_dropped = isRoot() && ::seteuid(kNobody) == 0; }

    std::string m_dir;
    std::string m_file;
    Failure m_failure;
    rlimit m_limit{};
    bool m_dropped = false;
};

std::map<std::string, std::string> snapshot(const TempDir& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        // The empty lock file of the data file holds nothing of the user's.
        const std::string name = entry.path().filename().string();
        if (name != ".DataFile.dat.lock")
            files[name] = dir.read(name);
    }
    return files;
}

// Answers the modal windows that a command opens: records and closes each
// message box; in the export window picks the first line and presses OK.
class ModalAnswerer : public QObject {
public:
    ModalAnswerer() {
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::answer);
        m_timer.start(10);
    }
    QStringList texts;

private:
    void answer() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible())
                continue;
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                texts << box->text();
                box->done(QMessageBox::Ok);
            }
            if (auto* window = qobject_cast<TForm10*>(w)) {
                window->findChild<QListWidget*>("lstIT")->item(0)->setSelected(true);
                window->findChild<QPushButton*>("Button1")->click();
            }
        }
    }
    QTimer m_timer;
};

// A started program with two reminders and the files a few starts leave.
struct Program {
    explicit Program(const TempDir& dir) {
        writeItems(dir, {item(8, 1, 0, "r1"), item(8, 2, 0, "r2")});
        firstStart(dir);
        dir.write("FastFinish.ini", "喝水\r\n");
        dir.write("in.txt", "[Main]\r\nItems=1\r\n[Item1]\r\nHour=9\r\nMin=30\r\nMessage=x\r\n");
        dir.write("out.txt", "[Main]\r\nItems=0\r\n");
        writeHandOffItem(dir.file("TmpFile.tmp"), handoff::Edit, 1);
        run = std::make_unique<Run>(dir);
        run->window->show();
        run->list().setCurrentRow(0);
    }
    std::unique_ptr<Run> run;
};

// One command that writes: the file it stores into (the one made read-only)
// and the steps that run it.
struct Writer {
    std::string file;
    std::function<void(Run&, const TempDir&)> run;
};

void addItem(Run& r, const TempDir&) {
    TForm2& dialog = r.dialogs.newItem();
    dialog.show();
    dialog.findChild<QComboBox*>("setmsg")->setEditText(QStringLiteral("新的提醒"));
    dialog.findChild<QCheckBox*>("everyyear")->setChecked(true); // still to come
    dialog.FlatSpeedButton1Click();
    dialog.hide();
}

void editItem(Run& r, const TempDir&) {
    TForm6& dialog = r.dialogs.edit();
    dialog.show();
    dialog.findChild<QLineEdit*>("setmsg")->setText(QStringLiteral("改过的提醒"));
    dialog.FlatSpeedButton1Click();
    dialog.hide();
}

void deleteItem(Run& r, const TempDir&) {
    MessageBox::setNextAnswer(MessageBox::Yes);
    r.window->FlatSpeedButton3Click();
}

void importItems(Run& r, const TempDir& dir) {
    FileDialog::setNextAnswer(QString::fromStdString(dir.file("in.txt")));
    MessageBox::setNextAnswer(MessageBox::Yes);
    r.window->FlatSpeedButton9Click();
}

void exportItems(Run& r, const TempDir& dir) {
    FileDialog::setNextAnswer(QString::fromStdString(dir.file("out.txt")));
    MessageBox::setNextAnswer(MessageBox::No);
    r.window->FlatSpeedButton9Click();
}

void storeSettings(Run& r, const TempDir&) {
    TForm5& dialog = r.dialogs.settings();
    dialog.show();
    dialog.findChild<QLineEdit*>("user")->setText(QStringLiteral("新用户"));
    dialog.FlatSpeedButton2Click();
    dialog.hide();
}

void saveQuickPhrases(Run& r, const TempDir&) {
    TForm11& dialog = r.dialogs.quickPhrases();
    dialog.show();
    dialog.findChild<QPlainTextEdit*>("mmFastFinish")->setPlainText(QStringLiteral("喝水\n休息"));
    dialog.FlatButton1Click();
    dialog.hide();
}

const std::map<QString, Writer>& writers() {
    static const std::map<QString, Writer> all{
        {"add", {"DataFile.dat", addItem}},
        {"edit", {"DataFile.dat", editItem}},
        {"delete", {"DataFile.dat", deleteItem}},
        {"import", {"DataFile.dat", importItems}},
        {"export", {"out.txt", exportItems}},
        {"settings", {"Config.ini", storeSettings}},
        {"quick phrases", {"FastFinish.ini", saveQuickPhrases}},
    };
    return all;
}

// The system's reason, as the user reads it: permissions refuse the
// read-only cases; the size limit that stands for a full disk fails a write
// with "file too large".
QString reasonOf(Failure failure) {
    return failure == Failure::FullDisk ? QStringLiteral("文件超出了允许的大小")
                                        : QStringLiteral("权限不够");
}

// A message box named the file and the reason in Chinese first; the
// profile files' own text, where there is one, follows it.
bool saysUnableToWrite(const QStringList& texts, const std::string& path, Failure failure) {
    const QString file = QString::fromStdString(path);
    const QString expected = "无法写入 " + file + "：" + reasonOf(failure);
    return std::any_of(texts.begin(), texts.end(), [&](const QString& text) {
        return text.startsWith(expected) &&
               (!text.contains("Unable") || text.endsWith("\n\nUnable to write to " + file));
    });
}

} // namespace

Q_DECLARE_METATYPE(Failure)

class WriteFailureTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setApplicationName("Kelvo"); }

    void commandReportsAndKeepsTheFiles_data() {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<Failure>("failure");
        for (const auto& [name, writer] : writers()) {
            const QByteArray n = name.toUtf8();
            QTest::newRow(n + ", read-only directory") << name << Failure::ReadOnlyDirectory;
            QTest::newRow(n + ", read-only file") << name << Failure::ReadOnlyFile;
            QTest::newRow(n + ", full disk") << name << Failure::FullDisk;
        }
    }

    void commandReportsAndKeepsTheFiles() {
        QFETCH(QString, writer);
        QFETCH(Failure, failure);
        const Writer& w = writers().at(writer);
        TempDir dir;
        Program program(dir);
        const QStringList listBefore = program.run->list().lines();
        const auto before = snapshot(dir);
        ModalAnswerer answerer;
        {
            BlockedWrites blocked(dir, failure, w.file);
            if (!blocked.real())
                QSKIP("writing cannot be made to fail here");
            w.run(*program.run, dir);
        }
        QVERIFY2(saysUnableToWrite(answerer.texts, dir.file(w.file), failure),
                 qPrintable(answerer.texts.join(" | ")));
        QCOMPARE(snapshot(dir), before);
        QCOMPARE(program.run->list().lines(), listBefore);
        program.run->window->reloadList();
        QCOMPARE(program.run->list().lines(), listBefore);

        // The program goes on: with writing possible again the command stores.
        w.run(*program.run, dir);
        QVERIFY(dir.read(w.file) != before.at(w.file));
    }

    // The clock's translucency changes only with settings that were stored.
    void unstoredSettingsLeaveTheClockAsItWas() {
        TempDir dir;
        Program program(dir);
        TForm5& dialog = program.run->dialogs.settings();
        const qreal opacity = program.run->dialogs.clock().windowOpacity();
        ModalAnswerer answerer;
        dialog.show();
        dialog.findChild<QCheckBox*>("TimeFormAB")->setChecked(true);
        dialog.findChild<NumericField*>("TimeFormABV")->setValue(100);
        {
            BlockedWrites blocked(dir, Failure::FullDisk, "Config.ini");
            dialog.FlatSpeedButton2Click();
        }
        QVERIFY(saysUnableToWrite(answerer.texts, dir.file("Config.ini"), Failure::FullDisk));
        QCOMPARE(program.run->dialogs.clock().windowOpacity(), opacity);
        dialog.FlatSpeedButton2Click();
        QCOMPARE(qRound(program.run->dialogs.clock().windowOpacity() * 255), 100);
    }

    void firstStartReportsAndKeepsTheFiles_data() {
        QTest::addColumn<Failure>("failure");
        QTest::newRow("read-only directory") << Failure::ReadOnlyDirectory;
        QTest::newRow("read-only data file") << Failure::ReadOnlyFile;
        QTest::newRow("full disk") << Failure::FullDisk;
    }

    // A first start where nothing can be stored still shows the window and
    // its list; with a read-only data file only that file is kept as it is.
    void firstStartReportsAndKeepsTheFiles() {
        QFETCH(Failure, failure);
        TempDir dir;
        if (failure == Failure::ReadOnlyFile)
            writeItems(dir, {item(8, 1, 0, "r1")});
        const auto before = snapshot(dir);
        ModalAnswerer answerer;
        std::unique_ptr<Run> run;
        {
            BlockedWrites blocked(dir, failure, "DataFile.dat");
            if (!blocked.real())
                QSKIP("writing cannot be made to fail here");
            run = std::make_unique<Run>(dir);
            run->window->show();
        }
        QVERIFY(run->window->isVisible());
        QVERIFY2(saysUnableToWrite(answerer.texts, dir.file("DataFile.dat"), failure),
                 qPrintable(answerer.texts.join(" | ")));
        // Each file is reported once, though the start writes it twice.
        QCOMPARE(answerer.texts.size(), failure == Failure::ReadOnlyFile ? 1 : 2);
        if (failure == Failure::ReadOnlyFile) {
            QCOMPARE(dir.read("DataFile.dat"), before.at("DataFile.dat"));
            QCOMPARE(run->list().count(), 1);
        } else {
            QVERIFY(saysUnableToWrite(answerer.texts, dir.file("Config.ini"), failure));
            QCOMPARE(snapshot(dir), before);
            QCOMPARE(run->list().count(), 0);
        }

        addItem(*run, dir);
        run->window->reloadList();
        QCOMPARE(run->list().count(), failure == Failure::ReadOnlyFile ? 2 : 1);
    }
};

QTEST_MAIN(WriteFailureTest)
#include "WriteFailureTest.moc"
