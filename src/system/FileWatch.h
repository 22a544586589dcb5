#pragma once

#include <QObject>
#include <QString>

namespace kelvo {

// Tells when a file may have changed on disk, by this program or another:
// written in place, or replaced, created or removed in its directory (also
// in the directory that a symbolic link at the path points into). A notice
// may also come for other files of those directories, or twice for one
// change: the receiver compares the file itself.
class FileWatch : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Watches this file from now on, instead of the one watched before.
    virtual void watch(const QString& file) = 0;

signals:
    void changed();
};

} // namespace kelvo
