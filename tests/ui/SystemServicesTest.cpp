#include "support/TempDir.h"
#include "system/QtShell.h"
#include "system/QtSound.h"

#include <QFileInfo>
#include <QTest>

using namespace kelvo;

class SystemServicesTest : public QObject {
    Q_OBJECT

private slots:
    // Safe also where the machine has no audio output at all.
    void soundRefusesWhatItCannotPlay() {
        test::TempDir dir;
        QtSound sound;
        QVERIFY(!sound.play(QString::fromStdString(dir.file("missing.wav"))));
        QVERIFY(!sound.play(QString()));
        QVERIFY(!sound.play(QString::fromStdString(dir.path())));
        sound.beep();
        sound.beep();
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
