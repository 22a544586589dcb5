// The last guard around the event loop: an error that a handler did not
// catch is shown in a critical box with its text and the application title,
// and the program goes on handling events.
#include "storage/IniFile.h"
#include "widgets/GuardedApplication.h"
#include "widgets/MessageBox.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <stdexcept>

using namespace kelvo;

namespace {

// A button whose click throws what it is given, once.
void clickThrowing(const std::function<void()>& fail) {
    QPushButton button;
    QObject::connect(&button, &QPushButton::clicked, fail);
    MessageBox::setNextAnswer(MessageBox::Ok);
    const int boxes = MessageBox::boxCount();
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(MessageBox::boxCount(), boxes + 1);
}

} // namespace

class LastGuardTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setApplicationName(QStringLiteral("Kelvo")); }

    void anUncaughtErrorIsShownAndTheProgramGoesOn() {
        clickThrowing([] { throw std::runtime_error("数据文件已损坏"); });
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::Critical);
        QCOMPARE(MessageBox::lastBox().caption, QStringLiteral("Kelvo"));
        QCOMPARE(MessageBox::lastBox().text, QStringLiteral("数据文件已损坏"));
        // The loop still delivers events: a timer after the error fires.
        bool fired = false;
        QTimer::singleShot(0, [&fired] { fired = true; });
        QTRY_VERIFY(fired);
    }

    void aWriteErrorNamesTheFileAndAnythingElseIsStillShown() {
        clickThrowing([] { throw IniWriteError("/home/u/DataFile.dat", EACCES); });
        QVERIFY(MessageBox::lastBox().text.contains(QStringLiteral("/home/u/DataFile.dat")));
        QVERIFY(MessageBox::lastBox().text.contains(QStringLiteral("权限不够")));
        clickThrowing([] { throw 42; });
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::Critical);
        QVERIFY(!MessageBox::lastBox().text.isEmpty());
    }
};

int main(int argc, char** argv) {
    GuardedApplication app(argc, argv);
    LastGuardTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "LastGuardTest.moc"
