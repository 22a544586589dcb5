#include "sync/SyncAccountDialog.h"
#include "app/SyncRunner.h"
#include "core/Clock.h"
#include "storage/IniFile.h"
#include "storage/Paths.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace kelvo;
using namespace kelvo::test;

namespace {

// The server the test script started: SYNC_URL, user alice, password geheim.
QString serverUrl() {
    return qEnvironmentVariable("SYNC_URL");
}

// Fills the account in and presses a button; waits until its work is done.
void press(SyncAccountDialog& dialog, const QString& password, const QString& button,
           const QString& url = serverUrl()) {
    dialog.findChild<QLineEdit*>(QStringLiteral("url"))->setText(url);
    dialog.findChild<QLineEdit*>(QStringLiteral("user"))->setText(QStringLiteral("alice"));
    dialog.findChild<QLineEdit*>(QStringLiteral("password"))->setText(password);
    QSignalSpy done(&dialog, &SyncAccountDialog::workDone);
    QPushButton* pressed = nullptr;
    for (QPushButton* candidate : dialog.findChildren<QPushButton*>())
        if (candidate->text() == button)
            pressed = candidate;
    QVERIFY(pressed);
    QTest::mouseClick(pressed, Qt::LeftButton);
    QVERIFY(dialog.busy());
    QVERIFY(done.wait(10'000));
}

bool overTls() {
    return serverUrl().startsWith(QStringLiteral("https:"));
}

QString status(const SyncAccountDialog& dialog) {
    return dialog.findChild<QLabel*>(QStringLiteral("status"))->text();
}

} // namespace

class SyncAccountDialogTest : public QObject {
    Q_OBJECT
    TempDir m_dir;
    DataPaths m_paths{m_dir.path()};

private slots:
    void initTestCase() { QVERIFY2(!serverUrl().isEmpty(), "run through account_dialog.sh"); }

    // Over TLS with a self-signed certificate: refused with its fingerprint
    // until the user trusts it; then found, and the trust is saved.
    void untrustedCertificateCanBeTrusted() {
        if (!overTls())
            QSKIP("the server speaks plain HTTP");
        SyncAccountDialog dialog(m_paths);
        press(dialog, QStringLiteral("geheim"), QStringLiteral("测试连接"));
        const QString fingerprint = qEnvironmentVariable("RADICALE_FINGERPRINT");
        QVERIFY2(status(dialog).startsWith(QStringLiteral("证书不受信任")),
                 qPrintable(status(dialog)));
        QVERIFY(status(dialog).contains(fingerprint));
        QSignalSpy done(&dialog, &SyncAccountDialog::workDone);
        auto* trust = dialog.findChild<QPushButton*>(QStringLiteral("trust"));
        QVERIFY(!trust->isHidden());
        QTest::mouseClick(trust, Qt::LeftButton);
        QVERIFY(done.wait(10'000));
        QCOMPARE(status(dialog), QStringLiteral("找到 1 个日历。")); // made over plain HTTP
        press(dialog, QStringLiteral("geheim"), QStringLiteral("保存"));
        QCOMPARE(readSyncSettings(TIniFile(m_paths.config())).certificate,
                 fingerprint.toStdString());
    }

    // A wrong password is told as such, and nothing is stored.
    void wrongPasswordIsToldAndNotSaved() {
        if (overTls())
            QSKIP("run over plain HTTP");
        SyncAccountDialog dialog(m_paths);
        press(dialog, QStringLiteral("falsch"), QStringLiteral("测试连接"));
        QCOMPARE(status(dialog), QStringLiteral("用户名或密码不对。"));
        press(dialog, QStringLiteral("falsch"), QStringLiteral("保存"));
        QVERIFY2(status(dialog).startsWith(QStringLiteral("没有保存：")),
                 qPrintable(status(dialog)));
        QVERIFY(!readSyncSettings(TIniFile(m_paths.config())).set());
    }

    // A web server that speaks no CalDAV is told as such.
    void noCalDavThereIsTold() {
        if (overTls())
            QSKIP("run over plain HTTP");
        SyncAccountDialog dialog(m_paths);
        press(dialog, QStringLiteral("geheim"), QStringLiteral("测试连接"),
              qEnvironmentVariable("PLAIN_HTTP_URL"));
        QCOMPARE(status(dialog), QStringLiteral("那里没有 CalDAV 服务。"));
    }

    // The right password finds the account's calendars; saving with a new
    // calendar makes it, keeps the account (not the password) in Config.ini
    // and hands the program the account.
    void savesTheAccountWithANewCalendar() {
        if (overTls())
            QSKIP("run over plain HTTP");
        SyncAccountDialog dialog(m_paths);
        press(dialog, QStringLiteral("geheim"), QStringLiteral("测试连接"));
        QCOMPARE(status(dialog), QStringLiteral("找到 0 个日历。"));
        auto* calendar = dialog.findChild<QComboBox*>(QStringLiteral("calendar"));
        QCOMPARE(calendar->currentText(), QStringLiteral("新建日历“Kelvo”"));
        QSignalSpy saved(&dialog, &SyncAccountDialog::accountSaved);
        press(dialog, QStringLiteral("geheim"), QStringLiteral("保存"));
        QCOMPARE(saved.size(), 1);
        QVERIFY2(status(dialog).contains(QStringLiteral("帐户已保存")), qPrintable(status(dialog)));
        const SyncSettings account = readSyncSettings(TIniFile(m_paths.config()));
        QCOMPARE(QString::fromStdString(account.url), serverUrl());
        QCOMPARE(account.user, std::string("alice"));
        QCOMPARE(account.calendar, std::string("/alice/kelvo/"));
        QVERIFY(m_dir.read("Config.ini").find("geheim") == std::string::npos);
    }

    // Opened again, the dialog shows the account; a test lists the calendar
    // made and keeps it chosen.
    void showsTheSavedAccount() {
        if (overTls())
            QSKIP("run over plain HTTP");
        SyncAccountDialog dialog(m_paths);
        QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("url"))->text(), serverUrl());
        press(dialog, QStringLiteral("geheim"), QStringLiteral("测试连接"));
        QCOMPARE(status(dialog), QStringLiteral("找到 1 个日历。"));
        auto* calendar = dialog.findChild<QComboBox*>(QStringLiteral("calendar"));
        QCOMPARE(calendar->count(), 2);
        QCOMPARE(calendar->currentText(), QStringLiteral("Kelvo"));
        QVERIFY(dialog.findChild<QPushButton*>(QStringLiteral("syncNow"))->isEnabled());
    }

    // Saved in the window, the account is synced by the running program
    // (which had none) without a restart; 立即同步 syncs again, and the
    // dialog tells what each sync did.
    void runningProgramSyncsTheSavedAccount() {
        if (overTls())
            QSKIP("run over plain HTTP");
        TempDir dir;
        const DataPaths paths{dir.path()};
        FakePlatform fake;
        const SystemClock clock;
        QWidget window;
        SyncRunner runner(paths, fake.platform, clock, &window);
        runner.start();
        SyncAccountDialog dialog(paths);
        runner.attach(dialog);
        press(dialog, QStringLiteral("geheim"), QStringLiteral("保存"));
        QTRY_VERIFY_WITH_TIMEOUT(status(dialog).startsWith(QStringLiteral("同步完成")), 10'000);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("syncNow")),
                          Qt::LeftButton);
        QCOMPARE(status(dialog), QStringLiteral("正在同步……"));
        QTRY_VERIFY_WITH_TIMEOUT(status(dialog).startsWith(QStringLiteral("同步完成")), 10'000);
    }
};

QTEST_MAIN(SyncAccountDialogTest)
#include "SyncAccountDialogTest.moc"
