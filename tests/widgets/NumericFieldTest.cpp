#include "widgets/NumericField.h"
#include "widgets/Beep.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

using namespace kelvo;

class NumericFieldTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_beeps = 0;
        setKitBeep([this] { ++m_beeps; });
    }

    void textThatIsNoNumberReadsAsLowerLimit() {
        NumericField f;
        f.setRange(2000, 3000);
        f.setText("");
        QCOMPARE(f.value(), 2000);
        f.setText("12x");
        QCOMPARE(f.value(), 2000);
    }

    void programValuesAreClampedUnlessLimitsAreEqual() {
        NumericField f;
        f.setRange(1, 12);
        f.setValue(13);
        QCOMPARE(f.value(), 12);
        f.setValue(-4);
        QCOMPARE(f.value(), 1);
        f.setRange(0, 0);
        f.setValue(45);
        QCOMPARE(f.value(), 45);
    }

    void typedTextIsClampedOnlyWhenFocusLeaves() {
        QWidget w;
        auto* layout = new QVBoxLayout(&w);
        auto* f = new NumericField;
        f->setRange(1, 12);
        auto* other = new QLineEdit;
        layout->addWidget(f);
        layout->addWidget(other);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        f->setFocus();
        f->selectAll();
        QTest::keyClicks(f, "13");
        QCOMPARE(f->value(), 13);
        other->setFocus();
        QCOMPARE(f->value(), 12);
    }

    void keyFilterBeepsAtLettersAndEnterAndLetsDigitsThrough() {
        NumericField f;
        f.setRange(0, 1000);
        f.setText("");
        QTest::keyClicks(&f, "4a2");
        QCOMPARE(f.text(), QString("42"));
        QCOMPARE(m_beeps, 1);
        QTest::keyClick(&f, Qt::Key_Return);
        QCOMPARE(m_beeps, 2);
        QTest::keyClick(&f, Qt::Key_Backspace);
        QCOMPARE(f.text(), QString("4"));
    }

    void ownerHandlerCanDropCharacters() {
        NumericField f;
        f.setRange(0, 30);
        f.setText("");
        connect(&f, &NumericField::keyPress, [](QChar& key) {
            if (key == u'-' || key == u'+' || key == u'.')
                key = QChar();
        });
        QTest::keyClicks(&f, "-1.5+");
        QCOMPARE(f.text(), QString("15"));
        QCOMPARE(m_beeps, 0);
    }

    void arrowsStepByOneWithinLimits() {
        NumericField f;
        f.setRange(0, 59);
        f.setValue(58);
        QTest::keyClick(&f, Qt::Key_Up);
        QTest::keyClick(&f, Qt::Key_Up);
        QCOMPARE(f.value(), 59);
        f.setValue(0);
        QTest::keyClick(&f, Qt::Key_Down);
        QCOMPARE(f.value(), 0);
    }

private:
    int m_beeps = 0;
};

QTEST_MAIN(NumericFieldTest)
#include "NumericFieldTest.moc"
