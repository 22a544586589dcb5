#include "system/linux/QtShell.h"

#include "reminders/CommandTag.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

namespace kelvo {
namespace {

// The MIME type by which the desktop chooses the program for a target.
QString associationType(const QUrl& url) {
    if (url.isLocalFile())
        return QMimeDatabase().mimeTypeForFile(url.toLocalFile()).name();
    return QStringLiteral("x-scheme-handler/") + url.scheme();
}

// Whether the desktop names a program for the target (xdg-mime, which asks
// the desktop's own settings); without xdg-mime the opening itself tells.
bool hasAssociatedProgram(const QUrl& url) {
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return true;
    QProcess query;
    query.start(xdgMime,
                {QStringLiteral("query"), QStringLiteral("default"), associationType(url)});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished();
        return true; // no answer is no proof that nothing opens it
    }
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace

void QtShell::runCommandLine(const QString& commandLine) {
    const std::vector<std::string> words = splitCommandLine(commandLine.toStdString());
    if (words.empty())
        return;
    QStringList arguments;
    for (auto it = words.begin() + 1; it != words.end(); ++it)
        arguments << QString::fromStdString(*it);
    QProcess::startDetached(QString::fromStdString(words.front()), arguments);
}

bool QtShell::openDocument(const QString& target) {
    const QUrl url = QFileInfo(target).isAbsolute() ? QUrl::fromLocalFile(target) : QUrl(target);
    return url.isValid() && hasAssociatedProgram(url) && QDesktopServices::openUrl(url);
}

} // namespace kelvo
