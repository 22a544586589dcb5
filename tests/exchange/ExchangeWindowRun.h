#pragma once

// The main window's import/export command on a data directory, with its
// modal windows answered: shared by the exchange and calendar window tests.

#include "app/Dialogs.h"
#include "app/Unit1.h"
#include "editors/SearchForm.h"
#include "exchange/Exchange.h"
#include "exchange/exportitems.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "widgets/FileDialog.h"
#include "widgets/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <map>

namespace kelvo::test {

inline const QString kQuestion =
    QStringLiteral("注意：\n****请不要重复导入数据****\n\n"
                   "导入数据请按“是”，导出数据请按“否”，否则按“取消”！");

// While a step runs, acts on the modal windows it opens: the export window
// through `onExport` (closed when none is given), message boxes with OK.
class ModalAnswerer : public QObject {
public:
    explicit ModalAnswerer(std::function<void(TForm10&)> onExport = {})
        : m_onExport(std::move(onExport)) {
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::answer);
        m_timer.start(10);
    }
    int exportShows = 0;
    // The button pressed in a box with more than one, by its caption; the
    // captions of every such box are recorded.
    QString press;
    QStringList captions;
    // Whether the search window was showing while the last OK box stood.
    bool searchAtLastBox = false;

private:
    void answer() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible())
                continue;
            if (auto* box = qobject_cast<QMessageBox*>(w))
                answerBox(*box);
            if (auto* window = qobject_cast<TForm10*>(w)) {
                ++exportShows;
                if (m_onExport)
                    m_onExport(*window);
                else
                    window->close();
            }
        }
    }
    void answerBox(QMessageBox& box) {
        const QList<QAbstractButton*> buttons = box.buttons();
        if (buttons.size() == 1) {
            searchAtLastBox = false;
            for (QWidget* w : QApplication::topLevelWidgets())
                searchAtLastBox |= qobject_cast<Tsearch*>(w) && w->isVisible();
            box.done(QMessageBox::Ok);
            return;
        }
        for (QAbstractButton* b : buttons)
            captions << b->text();
        for (QAbstractButton* b : buttons)
            if (b->text() == press)
                return b->click();
    }
    std::function<void(TForm10&)> m_onExport;
    QTimer m_timer;
};

inline QListWidget* lstIT(TForm10& window) {
    return window.findChild<QListWidget*>("lstIT");
}
inline QPushButton* button(TForm10& window, const char* name) {
    return window.findChild<QPushButton*>(name);
}

// Selects the lines (from 0) and presses OK.
inline std::function<void(TForm10&)> exportLines(std::vector<int> lines) {
    return [lines](TForm10& window) {
        for (int p : lines)
            lstIT(window)->item(p)->setSelected(true);
        button(window, "Button1")->click();
    };
}

inline std::map<std::string, std::string> snapshot(const TempDir& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        files[entry.path().filename().string()] = dir.read(entry.path().filename().string());
    return files;
}

// A started program on `dir` with the reminders "r1" … "r<count>".
struct Program {
    Program(const TempDir& dir, int count) {
        std::vector<ReminderItem> items;
        for (int i = 1; i <= count; ++i)
            items.push_back(item(8, i, 0, "r" + std::to_string(i)));
        writeItems(dir, items);
        run = std::make_unique<Run>(dir);
        run->window->show();
    }
    // Presses FlatSpeedButton9 answering its question with `answer`.
    void command(MessageBox::Button answer) {
        MessageBox::setNextAnswer(answer);
        run->window->FlatSpeedButton9Click();
    }
    std::unique_ptr<Run> run;
};

inline void writeExchange(const TempDir& dir, int32_t items,
                          const std::vector<std::string>& messages) {
    TIniFile file(dir.file("in.txt"));
    for (size_t j = 0; j < messages.size(); ++j)
        file.WriteString(itemSection(static_cast<int32_t>(j + 1)), "Message", messages[j]);
    file.WriteInteger("Main", "Items", items);
}

} // namespace kelvo::test
