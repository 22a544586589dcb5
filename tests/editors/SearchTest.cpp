#include "editors/SearchForm.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "widgets/MessageBox.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTest>

using namespace kelvo;
using namespace kelvo::test;

namespace {

QStringList rows(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// A later start over reminders with these messages, the search window open.
struct SearchRun {
    explicit SearchRun(const QStringList& messages) {
        std::vector<ReminderItem> items;
        for (const QString& message : messages)
            items.push_back(item(9, 0, 0, message.toStdString()));
        firstStart(dir);
        writeItems(dir, items);
        run = std::make_unique<Run>(dir);
        run->window->show();
        run->window->FlatSpeedButton10Click();
    }
    Tsearch& search() { return run->dialogs.search(); }
    QStringList find(const QString& word) {
        search().findChild<QLineEdit*>("searchword")->setText(word);
        search().FlatSpeedButton2Click();
        return results();
    }
    QStringList results() { return rows(search().findChild<QListWidget*>("showresult")); }
    QStringList numbers() { return rows(search().findChild<QListWidget*>("numlst")); }

    TempDir dir;
    std::unique_ptr<Run> run;
};

} // namespace

class SearchTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setApplicationName("Kelvo"); }

    void findsLatinLettersWithoutRegardToCase() {
        SearchRun s({"ABC", "ab c", "xAbCx", "", "提醒abc", "ÄBC", "abc"});
        QVERIFY(s.search().isVisible());
        QCOMPARE(s.search().windowTitle(), "搜索提醒");
        const QStringList hits{"ABC", "xAbCx", "提醒abc", "abc"};
        QCOMPARE(s.find("abc"), hits);
        QCOMPARE(s.numbers(), (QStringList{"0", "2", "4", "6"}));
        QCOMPARE(s.find("ABC"), hits);
        QCOMPARE(s.find("醒A"), QStringList{"提醒abc"});
        QCOMPARE(s.find("äbc"), QStringList{});
        QCOMPARE(s.find(""), QStringList{});
    }

    void typingFindsAsItGoes() {
        SearchRun s({"abc", "abd", "xbc"});
        auto* word = s.search().findChild<QLineEdit*>("searchword");
        word->clear();
        QTest::keyClicks(word, "ab");
        QCOMPARE(s.results(), (QStringList{"abc", "abd"}));
        QTest::keyClick(word, 'c');
        QCOMPARE(s.results(), QStringList{"abc"});
        QCOMPARE(s.numbers(), QStringList{"0"});
        QTest::keyClick(word, Qt::Key_Backspace);
        QTest::keyClick(word, Qt::Key_Backspace);
        QTest::keyClick(word, Qt::Key_Backspace);
        QCOMPARE(s.results(), QStringList{});
    }

    void clickOnAHitSelectsItsLineInTheMainList() {
        SearchRun s({"a", "hit", "b", "hit", "c", "d", "e", "hit 3", "f"});
        QCOMPARE(s.find("hit").size(), 3);
        auto* result = s.search().findChild<QListWidget*>("showresult");
        result->setCurrentRow(2);
        s.search().showresultClick();
        QCOMPARE(s.run->list().currentRow(), -1); // posted, not sent
        QCoreApplication::processEvents();
        QCOMPARE(s.run->list().currentRow(), 7);
        QVERIFY(s.search().isVisible());
        QCOMPARE(s.results().size(), 3);
    }

    void theKeyboardSearchesAndChoosesAsTheMouseDoes() {
        SearchRun s({"a", "hit", "b", "hit", "c"});
        auto* word = s.search().findChild<QLineEdit*>("searchword");
        auto* result = s.search().findChild<QListWidget*>("showresult");
        word->setText("hit");
        QTest::keyClick(word, Qt::Key_Return);
        QCOMPARE(s.results().size(), 2);

        // Only current, not selected (the list took the focus): not chosen,
        // until Enter chooses it.
        result->setCurrentRow(0, QItemSelectionModel::NoUpdate);
        QCoreApplication::processEvents();
        QVERIFY(!s.run->list().hasSelection());
        QTest::keyClick(result, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(s.run->list().currentRow(), 1);
        result->setCurrentRow(0, QItemSelectionModel::Clear);

        QTest::keyClick(result, Qt::Key_Down);
        QCoreApplication::processEvents();
        QCOMPARE(s.run->list().currentRow(), 3);
        QTest::keyClick(result, Qt::Key_Up);
        QCoreApplication::processEvents();
        QCOMPARE(s.run->list().currentRow(), 1);
        // Enter on the chosen result chooses it again after the main list moved.
        s.run->list().setCurrentRow(4);
        QTest::keyClick(result, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(s.run->list().currentRow(), 1);
        QVERIFY(s.search().isVisible());
        QCOMPARE(s.results().size(), 2);
    }

    void docksAtTheMainWindowsRightEdgeAndFollowsIt() {
        SearchRun s({"a"});
        QWidget& main = *s.run->window;
        const auto docked = [&] {
            return QPoint(main.x() + main.frameGeometry().width(), main.y());
        };
        QCOMPARE(s.search().pos(), docked());
        main.move(main.x() + 37, main.y() + 11);
        QCoreApplication::processEvents();
        QCOMPARE(s.search().pos(), docked());
    }

    void searchButtonTogglesTheWindow() {
        SearchRun s({"a"});
        s.run->window->FlatSpeedButton10Click();
        QVERIFY(!s.search().isVisible());
        s.run->window->FlatSpeedButton10Click();
        QVERIFY(s.search().isVisible());
        QCOMPARE(rows(s.search().findChild<QListWidget*>("searchsource")), QStringList{"a"});
    }

    // Messages are listed and found with nothing hidden or reordered.
    void hiddenTextIsShownPlainly() {
        SearchRun s({"会议" + QString(10, u' ') + "[cmd:x]", QString(u'\u202E') + "exe"});
        QCOMPARE(rows(s.search().findChild<QListWidget*>("searchsource")),
                 (QStringList{"会议␣×10[cmd:x]", "<U+202E>exe"}));
        QCOMPARE(s.find("cmd"), QStringList{"会议␣×10[cmd:x]"});
    }

    void deletingAReminderClosesTheWindow() {
        SearchRun s({"a", "b"});
        s.run->list().setCurrentRow(1);
        MessageBox::setNextAnswer(MessageBox::Yes);
        s.run->window->FlatSpeedButton3Click();
        QCOMPARE(s.run->list().count(), 1);
        QVERIFY(!s.search().isVisible());
    }

    void noRemindersNoSearch() {
        TempDir dir;
        firstStart(dir);
        Run run(dir);
        run.window->show();
        MessageBox::setNextAnswer(MessageBox::Ok);
        run.window->FlatSpeedButton10Click();
        QVERIFY(!run.dialogs.shownSearch());
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::NoIcon);
        QCOMPARE(MessageBox::lastBox().caption, "Kelvo");
        QCOMPARE(MessageBox::lastBox().text, "没有增加任何提醒，无法搜索！");
    }
};

QTEST_MAIN(SearchTest)
#include "SearchTest.moc"
