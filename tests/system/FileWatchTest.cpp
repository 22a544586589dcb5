// The data file's watch on the real file system: every way another program
// changes the file is noticed within two seconds, also after the file was
// replaced, and through a symbolic link into another directory.
#include "support/TempDir.h"
#include "system/linux/QtFileWatch.h"

#include <QSignalSpy>
#include <QTest>

#include <filesystem>

using namespace kelvo;
using namespace kelvo::test;

namespace {

constexpr int kNoticeMs = 2000;

// Writes a whole new file beside `path` and renames it over, as every
// program that writes the data file does.
void replace(const TempDir& dir, const std::string& name, const std::string& bytes) {
    dir.write(name + ".new", bytes);
    std::filesystem::rename(dir.file(name + ".new"), dir.file(name));
}

QString qpath(const TempDir& dir, const std::string& name) {
    return QString::fromStdString(dir.file(name));
}

} // namespace

class FileWatchTest : public QObject {
    Q_OBJECT
private slots:
    void replacementsWritesAndRemovalAreNoticed() {
        TempDir dir;
        dir.write("DataFile.dat", "one");
        QtFileWatch watch;
        QSignalSpy spy(&watch, &FileWatch::changed);
        watch.watch(qpath(dir, "DataFile.dat"));
        for (const char* bytes : {"two", "three"}) { // the second after a replacement
            spy.clear();
            replace(dir, "DataFile.dat", bytes);
            QTRY_VERIFY_WITH_TIMEOUT(spy.count() > 0, kNoticeMs);
        }
        spy.clear();
        dir.write("DataFile.dat", "written in place");
        QTRY_VERIFY_WITH_TIMEOUT(spy.count() > 0, kNoticeMs);
        spy.clear();
        std::filesystem::remove(dir.file("DataFile.dat"));
        QTRY_VERIFY_WITH_TIMEOUT(spy.count() > 0, kNoticeMs);
        spy.clear();
        dir.write("DataFile.dat", "created again");
        QTRY_VERIFY_WITH_TIMEOUT(spy.count() > 0, kNoticeMs);
    }

    void aLinkedFileIsWatchedInItsTargetsDirectory() {
        TempDir home, synced;
        synced.write("DataFile.dat", "one");
        std::filesystem::create_symlink(synced.file("DataFile.dat"), home.file("DataFile.dat"));
        QtFileWatch watch;
        QSignalSpy spy(&watch, &FileWatch::changed);
        watch.watch(qpath(home, "DataFile.dat"));
        for (const char* bytes : {"two", "three"}) {
            spy.clear();
            replace(synced, "DataFile.dat", bytes);
            QTRY_VERIFY_WITH_TIMEOUT(spy.count() > 0, kNoticeMs);
        }
    }

    void aFileWatchedBeforeIsLeftAlone() {
        TempDir first, second;
        first.write("DataFile.dat", "one");
        second.write("DataFile.dat", "one");
        QtFileWatch watch;
        QSignalSpy spy(&watch, &FileWatch::changed);
        watch.watch(qpath(first, "DataFile.dat"));
        watch.watch(qpath(second, "DataFile.dat"));
        // A witness on the first file: the kernel queues its notice with any
        // notice of the watch, so once the witness has heard, the watch would
        // have too.
        QtFileWatch witness;
        QSignalSpy witnessed(&witness, &FileWatch::changed);
        witness.watch(qpath(first, "DataFile.dat"));
        replace(first, "DataFile.dat", "two");
        QTRY_VERIFY_WITH_TIMEOUT(witnessed.count() > 0, kNoticeMs);
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 0);
        replace(second, "DataFile.dat", "two");
        QTRY_VERIFY_WITH_TIMEOUT(spy.count() > 0, kNoticeMs);
    }
};

QTEST_MAIN(FileWatchTest)
#include "FileWatchTest.moc"
