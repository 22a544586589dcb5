#include "alerts/closewin.h"
#include "alerts/showmsg.h"
#include "app/Dialogs.h"
#include "core/Clock.h"
#include "support/FakePlatform.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "widgets/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace kelvo;
using namespace kelvo::test;

namespace {

QString secondsLeft(int seconds) {
    return QStringLiteral("计算机将在%1秒后自动关机           ").arg(seconds);
}

} // namespace

class ShutdownTest : public QObject {
    Q_OBJECT

    static QString label(TForm7& form, const char* name) {
        return form.findChild<QLabel*>(name)->text();
    }
    static QProgressBar& bar(TForm7& form) {
        return *form.findChild<QProgressBar*>("closeprogress");
    }
    static QTimer& timer(TForm7& form) { return *form.findChild<QTimer*>("closewintimer"); }
    static void tick(TForm7& form, int times) {
        for (int i = 0; i < times; ++i)
            form.closewintimerTimer();
    }

private slots:
    void initTestCase() { QApplication::setApplicationName("Kelvo"); }

    void windowCarriesItsTexts() {
        FakePower power;
        TForm7 form(power);
        QCOMPARE(form.windowTitle(), QStringLiteral("自动关机..."));
        QCOMPARE(form.size(), QSize(434, 162));
        QVERIFY(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QCOMPARE(label(form, "Label1"), QStringLiteral("Kelvo正在进行自动关机...            "));
        QCOMPARE(label(form, "Label3"), QStringLiteral("请保存正在处理的资料           "));
        QCOMPARE(label(form, "closelabel"), secondsLeft(60));
        QCOMPARE(form.findChild<QPushButton*>("Button1")->text(),
                 QStringLiteral("取消自动关机[&C]"));
        QCOMPARE(bar(form).maximum(), 60);
    }

    void powersOffAfterSixtyTicksAndNotBefore() {
        FakePower power;
        TForm7 form(power);
        form.show();
        QVERIFY(timer(form).isActive());
        tick(form, 1);
        QCOMPARE(label(form, "closelabel"), secondsLeft(59));
        QCOMPARE(bar(form).value(), 1);
        tick(form, 58);
        QCOMPARE(label(form, "closelabel"), secondsLeft(1));
        QCOMPARE(bar(form).value(), 59);
        QCOMPARE(power.powerOffs, 0);
        tick(form, 1);
        QCOMPARE(power.powerOffs, 1);
        QVERIFY(!timer(form).isActive());
        // The machine stayed up: the window stays as it was.
        QVERIFY(form.isVisible());
        QCOMPARE(label(form, "closelabel"), secondsLeft(1));
        QCOMPARE(bar(form).value(), 59);
        // Declining to cancel resumes the countdown, which asks again.
        MessageBox::setNextAnswer(MessageBox::No);
        form.Button1Click();
        QVERIFY(timer(form).isActive());
        tick(form, 1);
        QCOMPARE(power.powerOffs, 2);
    }

    void questionHoldsTheCountdown() {
        FakePower power;
        TForm7 form(power);
        form.show();
        tick(form, 20);
        bool runningWhileAsked = true;
        QTimer::singleShot(0, this, [&] {
            runningWhileAsked = timer(form).isActive();
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            box->button(QMessageBox::No)->click();
        });
        form.Button1Click();
        QVERIFY(!runningWhileAsked);
        const MessageBox::Record& asked = MessageBox::lastBox();
        QCOMPARE(asked.icon, MessageBox::Question);
        QCOMPARE(asked.caption, QStringLiteral("询问"));
        QCOMPARE(asked.text, QStringLiteral("真的要结束自动关机吗？"));
        QCOMPARE(asked.buttons, MessageBox::Yes | MessageBox::No);
        QVERIFY(form.isVisible());
        QVERIFY(timer(form).isActive());
        QCOMPARE(label(form, "closelabel"), secondsLeft(40));
        tick(form, 1);
        QCOMPARE(label(form, "closelabel"), secondsLeft(39));
    }

    void confirmedCancelEndsItAndTheNextShowingStartsAfresh() {
        FakePower power;
        TForm7 form(power);
        form.show();
        tick(form, 20);
        MessageBox::setNextAnswer(MessageBox::Yes);
        form.Button1Click();
        QVERIFY(!form.isVisible());
        QVERIFY(!timer(form).isActive());
        QCOMPARE(label(form, "closelabel"), secondsLeft(60));
        QCOMPARE(bar(form).value(), 0);
        QCOMPARE(power.powerOffs, 0);

        form.show();
        QCOMPARE(label(form, "closelabel"), secondsLeft(60));
        QCOMPARE(bar(form).value(), 0);
        tick(form, 1);
        QCOMPARE(label(form, "closelabel"), secondsLeft(59));
        tick(form, 58);
        QCOMPARE(power.powerOffs, 0);
        tick(form, 1);
        QCOMPARE(power.powerOffs, 1);
    }

    void onlyTheButtonEndsIt() {
        FakePower power;
        TForm7 form(power);
        form.show();
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(form.isVisible());
        QVERIFY(timer(form).isActive());
    }

    // Through the program: the advance warning of a shutdown reminder is a
    // message; the reminder itself shows the countdown before its popup.
    void shutdownReminderShowsTheCountdownBeforeItsPopup() {
        TempDir dir;
        ReminderItem shutdown = item(8, 31, 0, "AutoShutDownWindows");
        shutdown.rdBefore = 1;
        writeItems(dir, {shutdown});
        Run run(dir);
        run.window->show();
        PopupAnswerer answerer;
        QStringList& seen = answerer.messages;
        answerer.answerFirst = [&] {
            if (!run.dialogs.shutdown().isVisible())
                return false;
            seen << "countdown";
            MessageBox::setNextAnswer(MessageBox::Yes);
            run.dialogs.shutdown().Button1Click();
            return true;
        };

        run.clock.set({kMonday0829.date, 8, 30});
        run.window->gtimerTimer();
        QTRY_COMPARE(seen, QStringList{QStringLiteral("提前提醒：AutoShutDownWindows")});

        seen.clear();
        run.clock.set({kMonday0829.date, 8, 31});
        run.window->gtimerTimer();
        QTRY_COMPARE(seen, (QStringList{"countdown", "AutoShutDownWindows"}));
        QCOMPARE(run.fake.power.powerOffs, 0);
    }
};

QTEST_MAIN(ShutdownTest)
#include "ShutdownTest.moc"
