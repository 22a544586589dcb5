#include "exchange/ExchangeWindowRun.h"
#include "reminders/Holidays.h"

using namespace kelvo;
using namespace kelvo::test;

namespace {

std::string calendar(const std::string& events) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + events + "END:VCALENDAR\r\n";
}

std::string vevent(const std::string& uid, const std::string& lines) {
    return "BEGIN:VEVENT\r\nUID:" + uid + "\r\n" + lines + "END:VEVENT\r\n";
}

const std::string kTwoEvents = calendar(
    vevent("a", "DTSTART:20300101T090000\r\nSUMMARY:元旦\r\n") +
    vevent("b", "DTSTART:20300101T090000\r\nRRULE:FREQ=WEEKLY;INTERVAL=2\r\nSUMMARY:隔周\r\n"));

} // namespace

class CalendarWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setApplicationName("Kelvo"); }

    // The open dialog offers calendars; the file is told by its content (a
    // calendar named .txt is read as one), and the success box counts the
    // events taken and skipped with their reasons; the second import of
    // the file adds nothing.
    void importReadsACalendarAndSaysWhatItSkipped() {
        TempDir dir;
        Program program(dir, 2);
        dir.write("in.txt", kTwoEvents);
        for (const QString& expected :
             {QStringLiteral("导入了 1 个日历事件，跳过了 1 个\n"
                             "· 隔周：RRULE 的重复间隔大于 1（INTERVAL）"),
              QStringLiteral(
                  "导入了 0 个日历事件，跳过了 2 个\n· 元旦：已经导入过（同一 UID 或内容）\n"
                  "· 隔周：RRULE 的重复间隔大于 1（INTERVAL）")}) {
            FileDialog::setNextAnswer(QString::fromStdString(dir.file("in.txt")));
            ModalAnswerer answerer;
            program.command(MessageBox::Yes);
            QCOMPARE(FileDialog::lastDialog()->filter(),
                     QStringLiteral("本文文件 (*.txt);;iCalendar (*.ics)"));
            QCOMPARE(MessageBox::lastBox().caption, QStringLiteral("导入成功"));
            QCOMPARE(MessageBox::lastBox().text, QStringLiteral("已经成功导入数据！\n") + expected);
        }
        QCOMPARE(program.run->list().count(), 3);
        QVERIFY(program.run->list().text(2).endsWith(QStringLiteral("提醒为：元旦")));
        QCOMPARE(readItemUid(TIniFile(dir.file("DataFile.dat")), 3), "a");
    }

    // A holiday text file is no exchange file: its years are stored as the
    // user's own and followed at once; the success box names them.
    void importTakesAHolidayFile() {
        TempDir dir;
        Program program(dir, 1);
        dir.write("2027.txt", "2027-02-08 休 春节\n2027-02-20 班 春节\n");
        FileDialog::setNextAnswer(QString::fromStdString(dir.file("2027.txt")));
        ModalAnswerer answerer;
        program.command(MessageBox::Yes);
        QCOMPARE(MessageBox::lastBox().text,
                 QStringLiteral("已经成功导入数据！\n已导入2027年的节假日安排"));
        QCOMPARE(program.run->list().count(), 1);
        QVERIFY(dir.read("Holidays.txt").find("2027-02-20") != std::string::npos);
        QVERIFY(holidayCalendar().knows(2027));
        useHolidayCalendar(builtInHolidays());
    }

    // A calendar of many past events says so in one line per reason.
    void manySkippedEventsAreGroupedByReason() {
        TempDir dir;
        Program program(dir, 0);
        std::string events;
        for (int i = 1; i <= 12; ++i)
            events += vevent(std::to_string(i), "DTSTART:20200101T090000\r\nSUMMARY:旧事 " +
                                                    std::to_string(i) + "\r\nLOCATION:\r\n");
        dir.write("in.ics", calendar(events));
        FileDialog::setNextAnswer(QString::fromStdString(dir.file("in.ics")));
        ModalAnswerer answerer;
        program.command(MessageBox::Yes);
        QCOMPARE(MessageBox::lastBox().text,
                 QStringLiteral("已经成功导入数据！\n导入了 0 个日历事件，跳过了 12 个\n"
                                "· 所有日期都已过去：12 个，如“旧事 1”、“旧事 2”、“旧事 3”"));
    }

    // Imported again, a calendar whose every event is there already says so.
    void reimportSaysEveryEventIsThereAlready() {
        TempDir dir;
        Program program(dir, 1);
        dir.write("in.ics", calendar(vevent("u1", "DTSTART:20300101T090000\r\nSUMMARY:一\r\n") +
                                     vevent("u2", "DTSTART:20300102T090000\r\nSUMMARY:二\r\n")));
        for (int round = 0; round < 2; ++round) {
            FileDialog::setNextAnswer(QString::fromStdString(dir.file("in.ics")));
            ModalAnswerer answerer;
            program.command(MessageBox::Yes);
        }
        QCOMPARE(
            MessageBox::lastBox().text,
            QStringLiteral("已经成功导入数据！\n这个日历的 2 个事件都已经导入过，没有新的提醒。"));
        QCOMPARE(program.run->list().count(), 3);
    }

    void actingEventsAreAskedAbout() {
        TempDir dir;
        Program program(dir, 1);
        dir.write("in.ics",
                  calendar(vevent("c", "DTSTART:20300101T090000\r\nSUMMARY:[cmd:rm -rf ~]\r\n") +
                           vevent("d", "DTSTART:20300101T090000\r\nSUMMARY:普通\r\n")));
        FileDialog::setNextAnswer(QString::fromStdString(dir.file("in.ics")));
        ModalAnswerer answerer;
        answerer.press = QStringLiteral("只导入其他提醒");
        program.command(MessageBox::Yes);
        QVERIFY(answerer.captions.contains(QStringLiteral("全部导入")));
        QCOMPARE(program.run->list().count(), 2);
        QVERIFY(program.run->list().text(1).endsWith(QStringLiteral("提醒为：普通")));
    }

    void aHostileCalendarIsRefusedWithItsReason() {
        TempDir dir;
        Program program(dir, 1);
        dir.write("in.ics", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:\xC0\xAF\r\n");
        const auto before = snapshot(dir);
        FileDialog::setNextAnswer(QString::fromStdString(dir.file("in.ics")));
        ModalAnswerer answerer;
        program.command(MessageBox::Yes);
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::Critical);
        QCOMPARE(MessageBox::lastBox().caption, QStringLiteral("Kelvo"));
        QVERIFY(MessageBox::lastBox().text.startsWith(QStringLiteral("日历文件不是有效的 UTF-8")));
        QVERIFY(snapshot(dir) == before);
        QCOMPARE(program.run->list().count(), 1);
    }

    // The save dialog's calendar filter writes a calendar, whatever the name.
    void exportWritesTheFormatOfTheChosenFilter() {
        TempDir dir;
        Program program(dir, 3);
        FileDialog::setNextAnswer(QString::fromStdString(dir.file("out.txt")), 1);
        ModalAnswerer answerer(exportLines({1}));
        program.command(MessageBox::No);
        QCOMPARE(FileDialog::lastDialog()->filter(),
                 QStringLiteral("文本文件 (*.txt);;iCalendar (*.ics)"));
        QCOMPARE(MessageBox::lastBox().text,
                 QStringLiteral("已经成功导出数据！\n导出了 1 条提醒到 ") +
                     QString::fromStdString(dir.file("out.txt")));
        const std::string written = dir.read("out.txt");
        QVERIFY(written.starts_with("BEGIN:VCALENDAR\r\n"));
        QVERIFY(written.find("SUMMARY:r2\r\n") != std::string::npos);
        QVERIFY(written.find("SUMMARY:r1\r\n") == std::string::npos);
    }
};

QTEST_MAIN(CalendarWindowTest)
#include "CalendarWindowTest.moc"
