#include "app/Unit1.h"

#include "app/Dialogs.h"
#include "app/ReminderListModel.h"
#include "core/Clock.h"
#include "core/VisibleText.h"
#include "exchange/Exchange.h"
#include "exchange/exportitems.h"
#include "ical/CalendarFile.h"
#include "ical/HolidayImport.h"
#include "ical/IcalModule.h"
#include "ical/SkipReport.h"
#include "storage/IniFile.h"
#include "ui_Unit1.h"
#include "widgets/FileDialog.h"
#include "widgets/MessageBox.h"

#include <QFile>

#include <algorithm>
#include <optional>
#include <vector>

namespace kelvo {
namespace {

// Beside the exchange file, calendar files; import tells them apart by
// content, export writes the format of the chosen filter.
const FileDialog::Filter kCalendarFilter{QStringLiteral("iCalendar"), QStringLiteral("*.ics"),
                                         QStringLiteral("ics")};
constexpr int kCalendarFilterIndex = 1;
const FileDialog impdlg(FileDialog::Open, {{QStringLiteral("本文文件"), QStringLiteral("*.txt"),
                                            QStringLiteral("txt")},
                                           kCalendarFilter});
const FileDialog expdlg(FileDialog::Save, {{QStringLiteral("文本文件"), QStringLiteral("*.txt"),
                                            QStringLiteral("txt")},
                                           kCalendarFilter});
constexpr size_t kMostLines = 15;

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

void tellNoData(QWidget* parent) {
    MessageBox::information(parent, kNoData, QStringLiteral("没有可以导入的数据！"));
}

// What the success box adds for a calendar: how many events came in, how
// many were skipped, and why (grouped by reason when many).
QString calendarReport(int32_t added, const std::vector<SkippedEvent>& skipped) {
    const bool allKnown = std::all_of(skipped.begin(), skipped.end(), [](const SkippedEvent& e) {
        return e.reason == SkipReason::Known;
    });
    if (added == 0 && allKnown)
        return QStringLiteral("\n这个日历的 %1 个事件都已经导入过，没有新的提醒。")
            .arg(skipped.size());
    QString text =
        QStringLiteral("\n导入了 %1 个日历事件，跳过了 %2 个").arg(added).arg(skipped.size());
    const std::vector<std::string> lines = skippedLines(skipped, false);
    for (size_t i = 0; i < lines.size() && i < kMostLines; ++i)
        text += QStringLiteral("\n· ") + QString::fromStdString(lines[i]);
    if (lines.size() > kMostLines)
        text += QStringLiteral("\n……另有 %1 种原因").arg(lines.size() - kMostLines);
    return text;
}

std::optional<QString> importCalendarFile(QWidget* parent, TIniFile& data, const std::string& path,
                                          const ClockReading& now) {
    const CalendarImport calendar = readCalendar(path, data, now);
    if (calendar.items.empty() && calendar.skipped.empty()) {
        tellNoData(parent);
        return std::nullopt;
    }
    const std::optional<ActingItems> acting =
        askAboutActingItems(parent, actingItems(calendar.items));
    if (!acting)
        return std::nullopt;
    return calendarReport(importCalendar(data, calendar, *acting), calendar.skipped);
}

// A file of holiday arrangements: its years are stored as the user's own
// (Holidays.txt) and the success box tells which. A calendar of holiday
// events might be meant as reminders: the user is asked. nullopt: no
// holiday file, or the user wants its reminders.
std::optional<QString> storeHolidayFile(QWidget* parent, const std::string& path, bool calendar,
                                        const std::string& holidaysPath) {
    const HolidayRead read = readHolidayFile(path);
    if (!read.error.empty() || read.years.empty())
        return std::nullopt;
    const int32_t first = read.years.front().year, last = read.years.back().year;
    const QString years = first == last ? QStringLiteral("%1年").arg(first)
                                        : QStringLiteral("%1年至%2年").arg(first).arg(last);
    if (calendar &&
        MessageBox::question(parent, QStringLiteral("询问"),
                             QStringLiteral("这个日历文件是节假日安排（%1），要作为节假日"
                                            "安排导入吗？\n选“否”则把其中的事件作为提醒导入。")
                                 .arg(years),
                             MessageBox::Yes) != MessageBox::Yes)
        return std::nullopt;
    const HolidayImport import = importHolidayFile(path, holidaysPath);
    return u'\n' + QString::fromStdString(holidayImportText(import));
}

// Asks for an exchange or calendar file and appends its reminders to the
// data file, or stores the years of a holiday file. Returns nothing when the user cancelled or the
// file held nothing; else what the success box adds (empty for an exchange file, which counts as
// imported once it stated any reminders, even when the count was negative and nothing was added).
std::optional<QString> importChosenFile(QWidget* parent, TIniFile& data, const ClockReading& now,
                                        const std::string& holidaysPath) {
    const std::optional<QString> file = impdlg.execute(parent);
    if (!file)
        return std::nullopt;
    const std::string path = localPath(*file);
    const bool calendar = isCalendarFile(path);
    if (calendar) {
        if (auto holidays = storeHolidayFile(parent, path, true, holidaysPath))
            return holidays;
        return importCalendarFile(parent, data, path, now);
    }
    const TIniFile exchange(path);
    if (statedExchangeCount(exchange) == 0) {
        if (auto holidays = storeHolidayFile(parent, path, false, holidaysPath))
            return holidays;
        tellNoData(parent);
        return std::nullopt;
    }
    const std::optional<ActingItems> acting =
        askAboutActingItems(parent, actingExchangeItems(exchange));
    if (!acting)
        return std::nullopt;
    importItems(data, exchange, *acting);
    return QString();
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
    items.reserve(selected.size());
    for (int p : selected)
        items.push_back(p + 1); // line p shows item p + 1
    return items;
}

// Writes the items to the chosen file in the chosen filter's format;
// returns what the success box adds.
QString writeChosenFile(const FileDialog::Choice& choice, const std::vector<int32_t>& items,
                        const TIniFile& data, const Clock& clock) {
    const auto written = [&choice](size_t count) {
        return QStringLiteral("\n导出了 %1 条提醒到 %2").arg(count).arg(choice.path);
    };
    if (choice.filter != kCalendarFilterIndex) {
        TIniFile exchange(localPath(choice.path));
        exportItems(data, items, exchange);
        return written(items.size());
    }
    const ClockReading now = clock.read();
    const CalendarExport result =
        exportCalendar(data, items, localPath(choice.path), now.local.date, now.utcSeconds);
    QString text = written(items.size() - static_cast<size_t>(result.neverFiring));
    if (result.neverFiring == 0)
        return text;
    return text +
           QStringLiteral("\n%1 条提醒在任何一天都不会提醒，没有导出。").arg(result.neverFiring);
}

void exportChosenItems(QWidget* parent, TForm10& window, const ReminderListModel& list,
                       const TIniFile& data, const Clock& clock) {
    const std::optional<std::vector<int32_t>> items = chooseItems(parent, window, list);
    if (!items)
        return;
    const std::optional<FileDialog::Choice> choice = expdlg.choose(parent);
    if (!choice)
        return;
    const QString added = writeChosenFile(*choice, *items, data, clock);
    MessageBox::information(parent, QStringLiteral("导出成功"),
                            QStringLiteral("已经成功导出数据！") + added);
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
        if (answer == MessageBox::Yes) {
            const std::optional<QString> report =
                importChosenFile(this, *m_data, m_clock.read(), m_paths.holidays());
            if (!report)
                return;
            followHolidayFile();
            reloadList();
            MessageBox::information(this, QStringLiteral("导入成功"),
                                    QStringLiteral("已经成功导入数据！") + *report);
            closeSearch();
        } else if (answer == MessageBox::No) {
            exportChosenItems(this, m_dialogs.exportWindow(), *m_lines, *m_data, m_clock);
            m_data->releaseContent();
        }
    });
}

} // namespace kelvo
