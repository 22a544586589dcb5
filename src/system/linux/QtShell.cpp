#include "system/linux/QtShell.h"

#include "reminders/CommandTag.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QStringList>
#include <QUrl>

namespace kelvo {

void QtShell::runCommandLine(const QString& commandLine) {
    const std::vector<std::string> words = splitCommandLine(commandLine.toStdString());
    if (words.empty())
        return;
    QStringList arguments;
    for (auto it = words.begin() + 1; it != words.end(); ++it)
        arguments << QString::fromStdString(*it);
    QProcess::startDetached(QString::fromStdString(words.front()), arguments);
}

void QtShell::openDocument(const QString& target) {
    // With a working directory, an existing relative path counts as a local
    // file; anything else is read as an address.
    QDesktopServices::openUrl(QUrl::fromUserInput(target, QDir::currentPath()));
}

} // namespace kelvo
