#include "app/Unit1.h"

#include "app/Dialogs.h"
#include "app/ReminderListModel.h"
#include "core/VisibleText.h"
#include "exchange/Exchange.h"
#include "exchange/exportitems.h"
#include "storage/IniFile.h"
#include "ui_Unit1.h"
#include "widgets/FileDialog.h"
#include "widgets/MessageBox.h"

#include <QFile>

#include <optional>
#include <vector>

namespace kelvo {
namespace {

const FileDialog impdlg(FileDialog::Open, QStringLiteral("本文文件"), QStringLiteral("*.txt"),
                        QStringLiteral("txt"));
const FileDialog expdlg(FileDialog::Save, QStringLiteral("文本文件"), QStringLiteral("*.txt"),
                        QStringLiteral("txt"));

const QString kNoData = QStringLiteral("没有数据");

std::string localPath(const QString& fileName) {
    return QFile::encodeName(fileName).toStdString();
}

QString visible(const std::string& text) {
    return QString::fromStdString(visibleText(text));
}

// One line of the import question: the message and what it would do, both
// shown as they are, nothing hidden.
QString actingLine(const ActingItem& item) {
    QString line = QStringLiteral("· ") + visible(item.message);
    if (item.shutdown)
        return line + QStringLiteral("　→ 自动关机");
    const QString kind = item.command->kind == CommandKind::CommandLine
                             ? QStringLiteral("执行命令：")
                             : QStringLiteral("打开：");
    return line + QStringLiteral("　→ ") + kind + visible(item.command->command);
}

// Asks before items that run a command or shut the computer down come in;
// nullopt when the user cancels the import.
std::optional<ActingItems> askAboutActingItems(QWidget* parent,
                                               const std::vector<ActingItem>& acting) {
    if (acting.empty())
        return ActingItems::AddConfirmed;
    constexpr size_t kMostLines = 15;
    QStringList lines;
    for (size_t i = 0; i < acting.size() && i < kMostLines; ++i)
        lines << actingLine(acting[i]);
    if (acting.size() > kMostLines)
        lines << QStringLiteral("……另有 %1 条").arg(acting.size() - kMostLines);
    const MessageBox::Button answer =
        MessageBox::ask(parent, MessageBox::Warning, QStringLiteral("导入导出"),
                        QStringLiteral("以下提醒会执行命令或自动关机：\n") + lines.join(u'\n') +
                            QStringLiteral("\n　导入这些提醒吗？"),
                        MessageBox::Yes | MessageBox::No | MessageBox::Cancel, MessageBox::No,
                        {{MessageBox::Yes, QStringLiteral("全部导入")},
                         {MessageBox::No, QStringLiteral("只导入其他提醒")},
                         {MessageBox::Cancel, QStringLiteral("取消")}});
    if (answer == MessageBox::Cancel)
        return std::nullopt;
    return answer == MessageBox::Yes ? ActingItems::AddConfirmed : ActingItems::Skip;
}

// Asks for an exchange file and appends its reminders to the data file.
// Returns whether the file stated any reminders (then the import counts as
// done, even when the count was negative and nothing was added) and the
// user did not cancel at the question about acting items.
bool importChosenFile(QWidget* parent, TIniFile& data) {
    const std::optional<QString> file = impdlg.execute(parent);
    if (!file)
        return false;
    const TIniFile exchange(localPath(*file));
    if (statedExchangeCount(exchange) == 0) {
        MessageBox::information(parent, kNoData, QStringLiteral("没有可以导入的数据！"));
        return false;
    }
    const std::optional<ActingItems> acting =
        askAboutActingItems(parent, actingExchangeItems(exchange));
    if (!acting)
        return false;
    importItems(data, exchange, *acting);
    return true;
}

// Lets the user pick lines in the export window; the chosen item numbers,
// or nothing when the user cancels or chooses none.
std::optional<std::vector<int32_t>> chooseItems(QWidget* parent, TForm10& window,
                                                const ReminderListModel& list) {
    window.setLines(list.allLines());
    window.exec();
    const std::vector<int> selected = window.selectedLines();
    if (window.ExportConfirmed && selected.empty())
        MessageBox::information(parent, kNoData, QStringLiteral("没有可以导出的数据！"));
    if (!window.ExportConfirmed || selected.empty())
        return std::nullopt;
    std::vector<int32_t> items;
    for (int p : selected)
        items.push_back(p + 1); // line p shows item p + 1
    return items;
}

void exportChosenItems(QWidget* parent, TForm10& window, const ReminderListModel& list,
                       const TIniFile& data) {
    const std::optional<std::vector<int32_t>> items = chooseItems(parent, window, list);
    if (!items)
        return;
    const std::optional<QString> file = expdlg.execute(parent);
    if (!file)
        return;
    TIniFile exchange(localPath(*file));
    exportItems(data, *items, exchange);
    MessageBox::information(parent, QStringLiteral("导出成功"),
                            QStringLiteral("已经成功导出数据！"));
}

} // namespace

void TForm1::connectExchangeCommands() {
    connect(ui->FlatSpeedButton9, &QAbstractButton::clicked, this, &TForm1::FlatSpeedButton9Click);
}

void TForm1::FlatSpeedButton9Click() {
    const MessageBox::Button answer =
        MessageBox::ask(this, MessageBox::Information, QStringLiteral("导入导出"),
                        QStringLiteral("注意：\n****请不要重复导入数据****\n\n"
                                       "导入数据请按“是”，导出数据请按“否”，否则按“取消”！"),
                        MessageBox::Yes | MessageBox::No | MessageBox::Cancel, MessageBox::Yes);
    MessageBox::reportingErrors(this, [&] {
        if (answer == MessageBox::Yes && importChosenFile(this, *m_data)) {
            afterListChange();
            MessageBox::information(this, QStringLiteral("导入成功"),
                                    QStringLiteral("已经成功导入数据！"));
        } else if (answer == MessageBox::No) {
            exportChosenItems(this, m_dialogs.exportWindow(), *m_lines, *m_data);
            m_data->releaseContent();
        }
    });
}

} // namespace kelvo
