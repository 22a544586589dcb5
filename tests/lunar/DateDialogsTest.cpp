#include "alerts/settimelater.h"
#include "core/DateTime.h"
#include "lunar/FormSetNL.h"
#include "widgets/MessageBox.h"
#include "widgets/NumericField.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace kelvo;

// The remind-later dialog and the lunar date dialog, through their controls.
class DateDialogsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TForm9> m_later;
    std::unique_ptr<TSetNL> m_lunar;

    NumericField* minutes() const { return m_later->findChild<NumericField*>("setMinLater"); }
    QComboBox* list(const char* name) const { return m_lunar->findChild<QComboBox*>(name); }
    static void press(QDialog& dialog, const char* button) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
    }
    static void leave(QWidget* field) {
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(field, &out);
    }
    // Chooses an item as the user does with the mouse or the arrow keys.
    static void choose(QComboBox* box, int index) {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    static QStringList items(const QComboBox* box) {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    }
    // Presses OK; returns the converted date as the notice tells it.
    QString convert() {
        MessageBox::setNextAnswer(MessageBox::Ok);
        press(*m_lunar, "FlatSpeedButton1");
        const MessageBox::Record& box = MessageBox::lastBox();
        if (box.caption != QStringLiteral("公历日") || box.icon != MessageBox::Information ||
            box.buttons != MessageBox::Ok)
            return QStringLiteral("unexpected box: ") + box.caption;
        return box.text;
    }

private slots:
    void init() {
        m_later = std::make_unique<TForm9>();
        m_lunar = std::make_unique<TSetNL>();
    }

    void remindLaterStartsAtTenAndKeepsItsResult() {
        QCOMPARE(m_later->windowTitle(), QStringLiteral("X分钟后提醒"));
        QCOMPARE(m_later->size(), QSize(195, 64));
        QCOMPARE(m_later->minutesLater(), 10);
        QVERIFY(!m_later->Cancelled);
        m_later->show();
        m_later->close(); // the close box at the first use counts as accepted
        QVERIFY(!m_later->Cancelled);
        m_later->show();
        press(*m_later, "FlatSpeedButton2");
        QVERIFY(m_later->Cancelled);
        QVERIFY(!m_later->isVisible());
        m_later->show();
        m_later->close();
        QVERIFY(m_later->Cancelled);
        m_later->show();
        press(*m_later, "FlatSpeedButton1");
        QVERIFY(!m_later->Cancelled);
    }

    void minutesAboveTheMaximumRestartAtOneOnTheNextKey() {
        minutes()->selectAll();
        QTest::keyClicks(minutes(), "2000");
        QCOMPARE(minutes()->text(), QStringLiteral("2000"));
        QCOMPARE(m_later->minutesLater(), 2000); // handed on as typed
        QTest::keyClicks(minutes(), "5");
        QCOMPARE(minutes()->text(), QStringLiteral("15"));
        QTest::keyClicks(minutes(), "-+.");
        QCOMPARE(minutes()->text(), QStringLiteral("15"));
    }

    void enterConfirmsTheMinutesAsTyped() {
        m_later->show();
        press(*m_later, "FlatSpeedButton2");
        m_later->show();
        minutes()->selectAll();
        QTest::keyClicks(minutes(), "25");
        QTest::keyClick(minutes(), Qt::Key_Return);
        QVERIFY(!m_later->Cancelled);
        QVERIFY(!m_later->isVisible());
        QCOMPARE(m_later->minutesLater(), 25);
        QCOMPARE(minutes()->text(), QStringLiteral("25")); // no Enter in the text
        m_later->show();
        QTest::keyClick(minutes(), Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!m_later->isVisible());
    }

    void leavingTheFieldClampsItsText() {
        minutes()->selectAll();
        QTest::keyClicks(minutes(), "0");
        QCOMPARE(m_later->minutesLater(), 0);
        leave(minutes());
        QCOMPARE(minutes()->text(), QStringLiteral("1"));
        minutes()->selectAll();
        QTest::keyClicks(minutes(), "5000");
        leave(minutes());
        QCOMPARE(minutes()->text(), QStringLiteral("1000"));
    }

    void lunarListsStartAt2000FirstMonthFirstDay() {
        QCOMPARE(m_lunar->windowTitle(), QStringLiteral("设置农历日"));
        QCOMPARE(m_lunar->size(), QSize(285, 91));
        QCOMPARE(list("sety")->count(), 100);
        QCOMPARE(list("sety")->itemText(99), QStringLiteral("2099年"));
        QCOMPARE(list("sety")->currentText(), QStringLiteral("2000年"));
        QCOMPARE(list("setm")->count(), 12);
        QCOMPARE(list("setm")->currentText(), QStringLiteral("正月"));
        QCOMPARE(list("setd")->count(), 30);
        QCOMPARE(list("setd")->currentText(), QStringLiteral("初一"));
        QVERIFY(!m_lunar->Accepted);
        m_lunar->show();
        QCOMPARE(convert(), QStringLiteral("对应的公历日为：2000年2月5日"));
        QVERIFY(m_lunar->Accepted);
        QVERIFY(!m_lunar->isVisible());
        QCOMPARE(std::tuple(m_lunar->SolarYear, m_lunar->SolarMonth, m_lunar->SolarDay),
                 std::tuple(quint16(2000), quint16(2), quint16(5)));
    }

    void leapMonthStandsAfterItsRegularMonth() {
        choose(list("sety"), 2023 - 2000);
        QCOMPARE(items(list("setm")),
                 QStringList({"正月", "二月", "闰二月", "三月", "四月", "五月", "六月", "七月",
                              "八月", "九月", "十月", "冬月", "腊月"}));
        choose(list("setm"), 2);
        QCOMPARE(list("setd")->count(), 29);
        QCOMPARE(list("setd")->itemText(28), QStringLiteral("廿九"));
        QCOMPARE(convert(), QStringLiteral("对应的公历日为：2023年3月22日"));
        choose(list("setm"), 3);
        QCOMPARE(convert(), QStringLiteral("对应的公历日为：2023年4月20日"));

        choose(list("sety"), 2033 - 2000);
        QCOMPARE(list("setm")->itemText(11), QStringLiteral("闰冬月"));
        choose(list("setm"), 11);
        QCOMPARE(convert(), QStringLiteral("对应的公历日为：2033年12月22日"));
    }

    void changesResetTheLowerLists() {
        choose(list("sety"), 23);
        choose(list("setm"), 5);
        choose(list("setd"), 10);
        choose(list("setm"), 4);
        QCOMPARE(list("setd")->currentIndex(), 0);
        choose(list("setd"), 10);
        choose(list("sety"), 24);
        QCOMPARE(list("setm")->currentIndex(), 0);
        QCOMPARE(list("setm")->count(), 12);
        QCOMPARE(list("setd")->currentIndex(), 0);
    }

    void lastDateOfferedConverts() {
        choose(list("sety"), 99);
        choose(list("setm"), list("setm")->count() - 1);
        QCOMPARE(list("setm")->currentText(), QStringLiteral("腊月"));
        choose(list("setd"), list("setd")->count() - 1);
        QCOMPARE(list("setd")->currentText(), QStringLiteral("三十"));
        QCOMPARE(convert(), QStringLiteral("对应的公历日为：2100年2月8日"));
    }

    void typingIntoTheListsChangesNothing() {
        choose(list("sety"), 5);
        for (const char* name : {"sety", "setm", "setd"}) {
            const int before = list(name)->currentIndex();
            QTest::keyClicks(list(name), "2a");
            QKeyEvent chinese(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("十"));
            QCoreApplication::sendEvent(list(name), &chinese);
            QCOMPARE(list(name)->currentIndex(), before);
        }
    }

    // The lists can be set to the lunar date of a day: a leap month, the
    // last listed year; a day they do not offer changes nothing.
    void chooseDaySetsTheListsToItsLunarDate() {
        QVERIFY(m_lunar->chooseDay(Date{2023, 4, 10})); // 闰二月二十
        QCOMPARE(list("sety")->currentText(), QStringLiteral("2023年"));
        QCOMPARE(list("setm")->currentText(), QStringLiteral("闰二月"));
        QCOMPARE(list("setd")->count(), 29);
        QCOMPARE(list("setd")->currentText(), QStringLiteral("二十"));
        QCOMPARE(convert(), QStringLiteral("对应的公历日为：2023年4月10日"));
        QVERIFY(m_lunar->chooseDay(Date{2026, 12, 7}));
        QCOMPARE(list("setm")->currentText(), QStringLiteral("十月"));
        QCOMPARE(list("setd")->currentText(), QStringLiteral("廿九"));
        QVERIFY(m_lunar->chooseDay(Date{2100, 2, 8}));
        QCOMPARE(list("setd")->currentText(), QStringLiteral("三十"));
        QVERIFY(!m_lunar->chooseDay(Date{2100, 2, 9}));
        QVERIFY(!m_lunar->chooseDay(Date{2000, 2, 4}));
        QCOMPARE(list("sety")->currentText(), QStringLiteral("2099年"));
    }

    void closeBoxKeepsThePreviousResult() {
        m_lunar->show();
        m_lunar->close();
        QVERIFY(!m_lunar->Accepted);
        m_lunar->show();
        QCOMPARE(convert(), QStringLiteral("对应的公历日为：2000年2月5日"));
        m_lunar->show();
        choose(list("sety"), 1);
        m_lunar->close();
        QVERIFY(m_lunar->Accepted);
        QCOMPARE(m_lunar->SolarYear, quint16(2000));
        QCOMPARE(list("sety")->currentText(), QStringLiteral("2001年"));
        m_lunar->show();
        press(*m_lunar, "FlatSpeedButton2");
        QVERIFY(!m_lunar->Accepted);
    }
};

QTEST_MAIN(DateDialogsTest)
#include "DateDialogsTest.moc"
