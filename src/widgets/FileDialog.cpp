#include "widgets/FileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QStandardPaths>
#include <QTreeView>

#include <algorithm>
#include <utility>

namespace kelvo {
namespace {

// Set by the test hook: whether an answer is pending, and the answer.
bool g_answerPending = false;
std::optional<QString> g_nextAnswer;
int g_nextFilter = 0;
std::optional<FileDialog> g_lastDialog;
int g_dialogCount = 0;

} // namespace

FileDialog::FileDialog(Mode mode, QString filterName, QString pattern, QString defaultSuffix)
    : FileDialog(mode, {{std::move(filterName), std::move(pattern), std::move(defaultSuffix)}}) {}

FileDialog::FileDialog(Mode mode, QList<Filter> filters)
    : m_mode(mode), m_filters(std::move(filters)) {}

QStringList FileDialog::filterTexts() const {
    QStringList texts;
    for (const Filter& f : m_filters)
        texts << f.name + QStringLiteral(" (") + f.pattern + QLatin1Char(')');
    return texts;
}

QString FileDialog::filter() const {
    return filterTexts().join(QStringLiteral(";;"));
}

std::optional<QString> FileDialog::execute(QWidget* parent) const {
    const std::optional<Choice> choice = choose(parent);
    return choice ? std::optional(choice->path) : std::nullopt;
}

std::optional<FileDialog::Choice> FileDialog::choose(QWidget* parent) const {
    g_lastDialog = *this;
    ++g_dialogCount;
    if (g_answerPending) {
        g_answerPending = false;
        const std::optional<QString> answer = std::exchange(g_nextAnswer, std::nullopt);
        return answer ? std::optional(Choice{*answer, g_nextFilter}) : std::nullopt;
    }
    QFileDialog dialog(parent, QString(), m_directory);
    // Room for the name, size, type and date columns, each as wide as its texts.
    dialog.resize(760, 480);
    if (auto* files = dialog.findChild<QTreeView*>(QStringLiteral("treeView")))
        files->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    const QStringList texts = filterTexts();
    dialog.setNameFilters(texts);
    dialog.setDefaultSuffix(m_filters.value(0).suffix);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& text) {
        dialog.setDefaultSuffix(m_filters.value(texts.indexOf(text)).suffix);
    });
    dialog.setAcceptMode(m_mode == Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    // Open accepts a name that does not exist (it reads as an empty file).
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return Choice{dialog.selectedFiles().constFirst(),
                  std::max(0, static_cast<int>(texts.indexOf(dialog.selectedNameFilter())))};
}

void FileDialog::setNextAnswer(std::optional<QString> fileName, int filter) {
    g_answerPending = true;
    g_nextAnswer = std::move(fileName);
    g_nextFilter = filter;
}

const FileDialog* FileDialog::lastDialog() {
    return g_lastDialog ? &*g_lastDialog : nullptr;
}

int FileDialog::dialogCount() {
    return g_dialogCount;
}

std::optional<QString> chooseMusicFile(QWidget* parent) {
    FileDialog openfile(FileDialog::Open, QStringLiteral("音乐文件"),
                        QStringLiteral("*.ogg *.opus *.flac *.mp3 *.wav *.mid *.avi"), QString());
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    openfile.setDirectory(QFileInfo(music).isDir() ? music : QDir::homePath());
    return openfile.execute(parent);
}

} // namespace kelvo
