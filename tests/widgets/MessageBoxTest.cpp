#include "widgets/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace kelvo;

namespace {

// Shows a question and records where its box stood once it was on the
// screen, then answers No (an empty rectangle: it never got there).
QRect boxFrameOf(QWidget* owner) {
    QRect frame;
    QTimer::singleShot(0, [&frame] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (QTest::qWaitFor([box] { return box->windowHandle()->isExposed(); }))
            frame = box->frameGeometry();
        box->button(QMessageBox::No)->click();
    });
    MessageBox::question(owner, QStringLiteral("询问"),
                         QStringLiteral("是否要开机运行本程序(推荐选择是)？"), MessageBox::Yes);
    return frame;
}

bool near(const QPoint& a, const QPoint& b) {
    return (a - b).manhattanLength() <= 4;
}

} // namespace

class MessageBoxTest : public QObject {
    Q_OBJECT
private slots:
    // Without an owner on the screen (none, one not shown yet, one hidden
    // in the tray) a box stands in the middle of the screen's free area.
    void boxWithoutVisibleOwnerIsCentredOnTheScreen() {
        const QPoint middle = QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY(near(boxFrameOf(nullptr).center(), middle));

        QWidget hidden;
        hidden.setGeometry(0, 0, 500, 300);
        const QRect frame = boxFrameOf(&hidden);
        QVERIFY(near(frame.center(), middle));
        QVERIFY(frame.left() > 0 && frame.top() > 0);

        QWidget inTray;
        inTray.setGeometry(10, 10, 200, 100);
        inTray.show();
        QVERIFY(QTest::qWaitForWindowExposed(&inTray));
        inTray.hide();
        QVERIFY(near(boxFrameOf(&inTray).center(), middle));
    }

    // A box whose owner is on the screen stands over it.
    void boxOfAShownOwnerStandsOverIt() {
        QWidget owner;
        owner.setGeometry(20, 30, 560, 420);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        QVERIFY(owner.geometry().contains(boxFrameOf(&owner).center()));
        QVERIFY(!near(boxFrameOf(&owner).center(),
                      QGuiApplication::primaryScreen()->availableGeometry().center()));
    }
};

QTEST_MAIN(MessageBoxTest)
#include "MessageBoxTest.moc"
