#pragma once

#include "system/FileWatch.h"

#include <QFileSystemWatcher>

namespace kelvo {

// FileWatch through QFileSystemWatcher (inotify): the file itself, for
// writes in place, and its directory, since a file replaced by a rename is a
// new file there; with a symbolic link, also the directory of its target.
// The watches are renewed at every notice, as a replaced file or a changed
// link leaves the old ones on what is gone.
class QtFileWatch : public FileWatch {
public:
    explicit QtFileWatch(QObject* parent = nullptr);

    void watch(const QString& file) override;

private:
    void renew();

    QFileSystemWatcher m_watcher;
    QString m_file;
};

} // namespace kelvo
