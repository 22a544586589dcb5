// Times every command of the main window on 10,000 reminders: add, edit and
// delete of item 1, import of 1,000, search, export of all. The windows run
// offscreen with the platform doubles; each dialog is answered from a timer
// as a user would answer it. The figure is the processor time the program
// spent in the command and in the layout and painting that follow it, so
// waiting for the answering timer does not count.
#include "BenchData.h"
#include "app/Unit1.h"
#include "editors/SearchForm.h"
#include "editors/edititem.h"
#include "editors/newitem.h"
#include "exchange/Exchange.h"
#include "exchange/exportitems.h"
#include "storage/IniFile.h"
#include "support/ProgramRun.h"
#include "widgets/FileDialog.h"
#include "widgets/MessageBox.h"
#include "widgets/NumericField.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>
#include <ctime>
#include <functional>

using namespace kelvo;

namespace {

// Answers the modal windows the commands open: the add and edit dialogs are
// filled and confirmed, the export window exports every line, a message box
// is acknowledged.
class Answerer : public QObject {
public:
    Answerer() {
        connect(&m_timer, &QTimer::timeout, this, &Answerer::answer);
        m_timer.start(5);
    }

private:
    // Queued: a button that opens a modal box (the add and edit dialogs'
    // question) must not open it inside this timer's own slot, where the
    // timer could not come again to answer it.
    static void press(QWidget& w, const char* name) {
        QMetaObject::invokeMethod(w.findChild<QPushButton*>(name), &QAbstractButton::click,
                                  Qt::QueuedConnection);
    }
    // A box stands in front of the window that opened it: answered first
    // (Yes where it asks), the window behind it waits.
    static bool answerBox() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box || !box->isVisible())
                continue;
            if (QAbstractButton* yes = box->button(QMessageBox::Yes))
                QMetaObject::invokeMethod(yes, &QAbstractButton::click, Qt::QueuedConnection);
            else
                box->done(QMessageBox::Ok);
            return true;
        }
        return false;
    }
    void answer() {
        if (answerBox())
            return;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible())
                continue;
            if (auto* add = qobject_cast<TForm2*>(w)) {
                add->findChild<QComboBox*>("setmsg")->setEditText(QStringLiteral("新的提醒"));
                add->findChild<NumericField*>("setyear")->setValue(2030);
                press(*add, "FlatSpeedButton1");
            } else if (auto* edit = qobject_cast<TForm6*>(w)) {
                edit->findChild<QLineEdit*>("setmsg")->setText(QStringLiteral("改过的提醒"));
                edit->findChild<NumericField*>("setyear")->setValue(2030);
                press(*edit, "FlatSpeedButton1");
            } else if (auto* exportWindow = qobject_cast<TForm10*>(w)) {
                exportWindow->findChild<QListWidget*>("lstIT")->selectAll();
                press(*exportWindow, "Button1");
            }
        }
    }
    QTimer m_timer;
};

double cpuMs() {
    return 1000.0 * std::clock() / CLOCKS_PER_SEC;
}

// The command and the layout and painting it leaves for the event loop.
void timed(const char* name, const std::function<void()>& command) {
    const double start = cpuMs();
    command();
    QCoreApplication::processEvents();
    std::printf("%-28s %7.1f ms\n", name, cpuMs() - start);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvo"));
    test::TempDir dir;
    bench::writeQuietDataFile(dir.file("DataFile.dat"), 10000);
    test::TempDir other;
    bench::writeDataFile(other.file("DataFile.dat"), 1000);
    {
        const TIniFile source(other.file("DataFile.dat"));
        std::vector<int32_t> all(1000);
        for (int32_t k = 1; k <= 1000; ++k)
            all[k - 1] = k;
        TIniFile exchange(other.file("in.txt"));
        exportItems(source, all, exchange);
    }

    test::Run run(dir);
    timed("start, list shown", [&] { run.window->show(); });
    Answerer answerer;
    TForm1& w = *run.window;
    const auto selectFirst = [&] { run.list().setCurrentRow(0); };

    timed("add", [&] { w.FlatSpeedButton2Click(); });
    selectFirst();
    timed("edit item 1", [&] { w.FlatSpeedButton5Click(); });
    selectFirst();
    MessageBox::setNextAnswer(MessageBox::Yes);
    timed("delete item 1", [&] { w.FlatSpeedButton3Click(); });
    FileDialog::setNextAnswer(QString::fromStdString(other.file("in.txt")));
    MessageBox::setNextAnswer(MessageBox::Yes);
    timed("import 1,000", [&] { w.FlatSpeedButton9Click(); });
    timed("search: open the window", [&] { w.FlatSpeedButton10Click(); });
    Tsearch& search = run.dialogs.search();
    search.findChild<QLineEdit*>("searchword")->setText(QStringLiteral("生日"));
    timed("search: find", [&] { search.findChild<QPushButton*>("FlatSpeedButton2")->click(); });
    search.close();
    FileDialog::setNextAnswer(QString::fromStdString(other.file("out.txt")));
    MessageBox::setNextAnswer(MessageBox::No);
    timed("export all", [&] { w.FlatSpeedButton9Click(); });

    const TIniFile data(dir.file("DataFile.dat"));
    const TIniFile exported(other.file("out.txt"));
    std::printf("items now %d (10,000 + 1 - 1 + 1,000), exported %d, found %d\n",
                data.ReadInteger("Main", "Items", 0), statedExchangeCount(exported),
                search.findChild<QListWidget*>("showresult")->count());
    return 0;
}
