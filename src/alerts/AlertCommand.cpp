#include "alerts/AlertCommand.h"

#include "core/VisibleText.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "system/Shell.h"

#include <QDir>

namespace kelvo {

AlertCommand::AlertCommand(const QString& message, int32_t item, const DataPaths& paths,
                           Shell& shell)
    : m_tag(extractCommand(message.toStdString())), m_item(item), m_paths(paths), m_shell(shell) {}

bool AlertCommand::runsByItself(bool autoRunCmd) const {
    return present() && autoRunCmd && commandMayRunUnattended(TIniFile(m_paths.dataFile()), m_item);
}

QString AlertCommand::description() const {
    if (!m_tag)
        return {};
    const QString what = QString::fromStdString(visibleText(m_tag->command));
    return m_tag->kind == CommandKind::CommandLine ? QStringLiteral("将执行命令：") + what
                                                   : QStringLiteral("将打开：") + what;
}

void AlertCommand::run(bool byHand) {
    if (!m_tag)
        return;
    if (m_tag->kind == CommandKind::CommandLine) {
        m_shell.runCommandLine(QString::fromStdString(m_tag->command));
    } else if (const auto target = openTarget(m_tag->command, QDir::currentPath().toStdString())) {
        m_shell.openDocument(QString::fromStdString(*target));
    }
    if (byHand && m_item > 0) {
        TIniFile data(m_paths.dataFile());
        confirmCommand(data, m_item);
    }
}

void AlertCommand::itemDeleted(int32_t k) {
    m_item = numberAfterDelete(m_item, k);
}

} // namespace kelvo
