#include "widgets/FileDialog.h"

#include <QFileDialog>

#include <utility>

namespace kelvo {
namespace {

// Set by the test hook: whether an answer is pending, and the answer.
bool g_answerPending = false;
std::optional<QString> g_nextAnswer;
std::optional<FileDialog> g_lastDialog;
int g_dialogCount = 0;

} // namespace

FileDialog::FileDialog(Mode mode, QString filterName, QString pattern, QString defaultSuffix)
    : m_mode(mode), m_filterName(std::move(filterName)), m_pattern(std::move(pattern)),
      m_defaultSuffix(std::move(defaultSuffix)) {}

QString FileDialog::filter() const {
    return m_filterName + QStringLiteral(" (") + m_pattern + QLatin1Char(')');
}

std::optional<QString> FileDialog::execute(QWidget* parent) const {
    g_lastDialog = *this;
    ++g_dialogCount;
    if (g_answerPending) {
        g_answerPending = false;
        return std::exchange(g_nextAnswer, std::nullopt);
    }
    QFileDialog dialog(parent);
    dialog.setNameFilter(filter());
    dialog.setDefaultSuffix(m_defaultSuffix);
    dialog.setAcceptMode(m_mode == Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    // Open accepts a name that does not exist (it reads as an empty file).
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

void FileDialog::setNextAnswer(std::optional<QString> fileName) {
    g_answerPending = true;
    g_nextAnswer = std::move(fileName);
}

const FileDialog* FileDialog::lastDialog() {
    return g_lastDialog ? &*g_lastDialog : nullptr;
}

int FileDialog::dialogCount() {
    return g_dialogCount;
}

std::optional<QString> chooseMusicFile(QWidget* parent) {
    const FileDialog openfile(FileDialog::Open, QStringLiteral("音乐文件"),
                              QStringLiteral("*.mp3 *.mid *.avi *.wav"), QString());
    return openfile.execute(parent);
}

} // namespace kelvo
