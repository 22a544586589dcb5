#include "support/TempDir.h"
#include "system/linux/DeferredSound.h"
#include "system/linux/QtShell.h"

#include <QFileInfo>
#include <QTest>

using namespace kelvo;

class SystemServicesTest : public QObject {
    Q_OBJECT

private slots:
    // The sound module beside the program is loaded on first use; it is
    // safe also where the machine has no audio output at all.
    void soundRefusesWhatItCannotPlay() {
        test::TempDir dir;
        const QString here = QCoreApplication::applicationDirPath();
        DeferredSound sound(soundModuleDirs(here));
        QVERIFY(!sound.play(QString::fromStdString(dir.file("missing.wav"))));
        QCOMPARE(sound.modulePath(), QFileInfo(here + "/kelvo_sound.so").canonicalFilePath());
        QVERIFY(!sound.play(QString()));
        QVERIFY(!sound.play(QString::fromStdString(dir.path())));
        sound.beep();
        sound.beep();
    }

    // Without the module (or with a broken one) the program goes on silently.
    void missingOrBrokenModulePlaysNothing() {
        test::TempDir dir;
        dir.write("kelvo_sound.so", "not a shared object");
        const QString wav = QCoreApplication::applicationDirPath() + "/missing.wav";
        for (const std::string& place : {dir.file("nowhere"), dir.path()}) {
            DeferredSound sound({QString::fromStdString(place)});
            QVERIFY(!sound.play(wav));
            sound.beep();
            QVERIFY(sound.modulePath().isEmpty());
        }
    }

    // The words of a command line reach the program literally: quotes group
    // words, and shell characters are not interpreted.
    void commandLineStartsTheProgramWithoutAShell() {
        test::TempDir dir;
        const QString base = QString::fromStdString(dir.path());
        QtShell().runCommandLine("touch \"" + base + "/two words\" " + base + "/$HOME;x");
        QTRY_VERIFY(QFileInfo::exists(base + "/two words"));
        QTRY_VERIFY(QFileInfo::exists(base + "/$HOME;x"));
    }
};

QTEST_MAIN(SystemServicesTest)
#include "SystemServicesTest.moc"
