#include "system/linux/QtFileWatch.h"

#include "storage/FileIO.h"

#include <QFile>
#include <QFileInfo>

namespace kelvo {

QtFileWatch::QtFileWatch(QObject* parent) : FileWatch(parent) {
    const auto notice = [this] {
        renew();
        emit changed();
    };
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, notice);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, notice);
}

void QtFileWatch::watch(const QString& file) {
    m_file = file;
    renew();
}

void QtFileWatch::renew() {
    const QString target = QFile::decodeName(
        QByteArray::fromStdString(linkTarget(QFile::encodeName(m_file).toStdString())));
    QStringList directories{QFileInfo(m_file).absolutePath(), QFileInfo(target).absolutePath()};
    directories.removeDuplicates();
    // The file's watch is made anew: after a replacement it would watch the
    // old file, which is gone.
    QStringList stale = m_watcher.files();
    for (const QString& d : m_watcher.directories()) {
        if (!directories.contains(d))
            stale << d;
    }
    if (!stale.isEmpty())
        m_watcher.removePaths(stale);
    QStringList wanted;
    for (const QString& d : directories) {
        if (!m_watcher.directories().contains(d))
            wanted << d;
    }
    if (QFileInfo::exists(m_file))
        wanted << m_file;
    if (!wanted.isEmpty())
        m_watcher.addPaths(wanted);
}

} // namespace kelvo
