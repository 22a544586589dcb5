// One failure, one text, at every entry point: a window's command shows it
// in its error box, kelvoctl prints the same text on stderr and ends with
// status 1, and what either refused leaves the files as they were.
#include "editors/newitem.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "widgets/FileDialog.h"
#include "widgets/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <sys/wait.h>

using namespace kelvo;
using namespace kelvo::test;

namespace {

// Every write fails as on a full disk while it lives, in this process and
// in the programs it starts (a file size limit of zero, SIGXFSZ ignored);
// it works for root too.
class FullDisk {
public:
    FullDisk() {
        ::getrlimit(RLIMIT_FSIZE, &m_limit);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit none{0, m_limit.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &none);
    }
    ~FullDisk() { ::setrlimit(RLIMIT_FSIZE, &m_limit); }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit m_limit{};
};

// Closes the error boxes of a command and keeps their texts.
class BoxCloser : public QObject {
public:
    BoxCloser() {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                    texts << box->text();
                    box->done(QMessageBox::Ok);
                }
            }
        });
        m_timer.start(10);
    }
    QStringList texts;

private:
    QTimer m_timer;
};

struct CtlResult {
    int status = -1;
    QString err;
};

// kelvoctl on the data directory; its stderr, without the program's name,
// read through a pipe, which a full disk does not stop.
CtlResult kelvoctl(const TempDir& dir, const std::string& args) {
    const std::string command = "timeout 60 '" KELVOCTL_PATH "' --dir '" + dir.path() + "' " +
                                args + " 2>&1 </dev/null >/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return {};
    std::string err;
    char buffer[512];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        err.append(buffer, n);
    const int rc = ::pclose(pipe);
    QString text = QString::fromStdString(err);
    if (text.startsWith(QStringLiteral("kelvoctl: ")) && text.endsWith(u'\n'))
        text = text.mid(10).chopped(1);
    return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, text};
}

void addInTheWindow(Run& run, const TempDir&) {
    TForm2& dialog = run.dialogs.newItem();
    dialog.show();
    dialog.findChild<QComboBox*>("setmsg")->setEditText(QStringLiteral("新的提醒"));
    dialog.findChild<QCheckBox*>("everyyear")->setChecked(true);
    dialog.FlatSpeedButton1Click();
    dialog.hide();
}

void importInTheWindow(Run& run, const TempDir& dir) {
    FileDialog::setNextAnswer(QString::fromStdString(dir.file("in.ics")));
    MessageBox::setNextAnswer(MessageBox::Yes); // 导入
    run.window->FlatSpeedButton9Click();
}

// Both entry points on the same failure: the window's one error box and
// kelvoctl's message, with the files unchanged by either.
void expectTheSameText(const TempDir& dir,
                       const std::function<void(Run&, const TempDir&)>& inWindow,
                       const std::string& ctlArgs, bool fullDisk, const QString& expectedStart) {
    Run run(dir);
    run.window->show();
    const std::string before = dir.read("DataFile.dat");
    BoxCloser closer;
    CtlResult ctl;
    {
        std::optional<FullDisk> full;
        if (fullDisk)
            full.emplace();
        inWindow(run, dir);
        ctl = kelvoctl(dir, ctlArgs);
    }
    QCOMPARE(closer.texts.size(), 1);
    QVERIFY2(closer.texts[0].startsWith(expectedStart), qPrintable(closer.texts[0]));
    QCOMPARE(ctl.err, closer.texts[0]);
    QCOMPARE(ctl.status, 1);
    QCOMPARE(dir.read("DataFile.dat"), before);
}

} // namespace

class ErrorReportTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setApplicationName(QStringLiteral("Kelvo")); }

    void anUnwritableDataFileIsToldAlikeByAWindowAndByKelvoctl() {
        TempDir dir;
        writeItems(dir, {item(8, 1, 0, "r1")});
        firstStart(dir);
        expectTheSameText(
            dir, addInTheWindow, "add '2030-01-01 09:00' 新的提醒", true,
            QString::fromStdString("无法写入 " + dir.file("DataFile.dat") +
                                   "：文件超出了允许的大小。\n\nUnable to write to "));
    }

    void aHostileCalendarIsToldAlikeByAWindowAndByKelvoctl() {
        TempDir dir;
        writeItems(dir, {item(8, 1, 0, "r1")});
        firstStart(dir);
        dir.write("in.ics", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:\xC0\xAF\r\n");
        expectTheSameText(
            dir, importInTheWindow, "import '" + dir.file("in.ics") + "'", false,
            QString::fromStdString("日历文件不是有效的 UTF-8 文本：" + dir.file("in.ics")));
    }
};

QTEST_MAIN(ErrorReportTest)
#include "ErrorReportTest.moc"
