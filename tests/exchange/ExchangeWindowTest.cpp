#include "exchange/ExchangeWindowRun.h"

using namespace kelvo;
using namespace kelvo::test;

class ExchangeWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setApplicationName("Kelvo"); }

    void theQuestionAndCancelChangeNothing() {
        TempDir dir;
        Program program(dir, 2);
        const auto before = snapshot(dir);
        const int dialogs = FileDialog::dialogCount();
        program.command(MessageBox::Cancel);
        const MessageBox::Record& box = MessageBox::lastBox();
        QCOMPARE(box.caption, QStringLiteral("导入导出"));
        QCOMPARE(box.text, kQuestion);
        QCOMPARE(box.icon, MessageBox::Information);
        QCOMPARE(box.buttons, MessageBox::Yes | MessageBox::No | MessageBox::Cancel);
        QCOMPARE(FileDialog::dialogCount(), dialogs);
        QVERIFY(snapshot(dir) == before);
    }

    void importAppendsReloadsAndClosesTheSearchWindow() {
        TempDir dir;
        Program program(dir, 5);
        writeExchange(dir, 2, {"甲", "乙"});
        program.run->dialogs.search().show();
        FileDialog::setNextAnswer(QString::fromStdString(dir.file("in.txt")));
        ModalAnswerer answerer;
        program.command(MessageBox::Yes);

        QCOMPARE(FileDialog::lastDialog()->mode(), FileDialog::Open);
        QCOMPARE(FileDialog::lastDialog()->filter(),
                 QStringLiteral("本文文件 (*.txt);;iCalendar (*.ics)"));
        QCOMPARE(MessageBox::lastBox().caption, QStringLiteral("导入成功"));
        QCOMPARE(MessageBox::lastBox().text, QStringLiteral("已经成功导入数据！"));
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::Information);
        const MainList list = program.run->list();
        QCOMPARE(list.count(), 7);
        QVERIFY(list.text(5).endsWith(QStringLiteral("0 时 0 分 0 方式，提醒为：甲")));
        QVERIFY(list.text(6).endsWith(QStringLiteral("提醒为：乙")));
        // The search window stands until the success box is answered.
        QVERIFY(answerer.searchAtLastBox);
        QVERIFY(!program.run->dialogs.shownSearch());
        QCOMPARE(storedItemCount(TIniFile(dir.file("DataFile.dat"))), 7);
    }

    void importWithoutItemsSaysSoAndANegativeCountStillSucceeds() {
        TempDir dir;
        Program program(dir, 5);
        const auto before = snapshot(dir);
        for (const int32_t items : {0, -2}) {
            writeExchange(dir, items, {"x"});
            FileDialog::setNextAnswer(QString::fromStdString(dir.file("in.txt")));
            ModalAnswerer answerer;
            program.command(MessageBox::Yes);
            if (items == 0) {
                QCOMPARE(MessageBox::lastBox().caption, QStringLiteral("没有数据"));
                QCOMPARE(MessageBox::lastBox().text, QStringLiteral("没有可以导入的数据！"));
            } else {
                QCOMPARE(MessageBox::lastBox().text, QStringLiteral("已经成功导入数据！"));
            }
            QCOMPARE(program.run->list().count(), 5);
            QVERIFY(dir.read("DataFile.dat") == before.at("DataFile.dat"));
        }
    }

    // A received file whose reminders would run commands or shut the computer
    // down: the import asks, listing each with what it would do, hidden tags
    // and reversed text shown plainly.
    void actingRemindersAreImportedOnlyAsTheUserAnswers() {
        const std::string hidden = "备份" + std::string(600, ' ') + "[cmd:sh -c \"rm x\"]";
        const std::vector<std::string> messages{"AutoShutDownWindows", hidden,
                                                "会议[cmo:http://x.example]", "\u202Etxt.exe"};
        const QString question =
            QStringLiteral("以下提醒会执行命令或自动关机：\n"
                           "· AutoShutDownWindows　→ 自动关机\n"
                           "· 备份␣×600[cmd:sh -c \"rm x\"]　→ 执行命令：sh -c \"rm x\"\n"
                           "· 会议[cmo:http://x.example]　→ 打开：http://x.example\n"
                           "　导入这些提醒吗？");
        const std::map<QString, int> added{{"取消", 0}, {"只导入其他提醒", 1}, {"全部导入", 4}};
        for (const auto& [answer, count] : added) {
            TempDir dir;
            Program program(dir, 1);
            writeExchange(dir, 4, messages);
            const auto before = snapshot(dir);
            FileDialog::setNextAnswer(QString::fromStdString(dir.file("in.txt")));
            ModalAnswerer answerer;
            answerer.press = answer;
            program.command(MessageBox::Yes);
            // In the order of the desktop's button layout.
            answerer.captions.sort();
            QCOMPARE(answerer.captions, (QStringList{"全部导入", "取消", "只导入其他提醒"}));
            const TIniFile data(dir.file("DataFile.dat"));
            QCOMPARE(storedItemCount(data), 1 + count);
            if (count == 0) {
                QCOMPARE(MessageBox::lastBox().text, question);
                QCOMPARE(MessageBox::lastBox().icon, MessageBox::Warning);
                QVERIFY(snapshot(dir) == before);
                continue;
            }
            QCOMPARE(MessageBox::lastBox().text, QStringLiteral("已经成功导入数据！"));
            QVERIFY(program.run->list().text(count).endsWith("提醒为：<U+202E>txt.exe"));
            if (count == 4) {
                QCOMPARE(readImported(data, 2), Imported::No);
                QCOMPARE(readImported(data, 3), Imported::Confirmed);
                QVERIFY(
                    program.run->list().text(2).endsWith("提醒为：备份␣×600[cmd:sh -c \"rm x\"]"));
            }
        }
    }

    // Commands imported without confirmation (kelvoctl --allow-commands) do
    // not run at the next start even with AutoRunCmd on; the user's own do.
    void unconfirmedImportsRunNothingAtTheNextStart() {
        TempDir dir;
        firstStart(dir);
        {
            TIniFile config(dir.file("Config.ini"));
            config.WriteBool("Sys", "AutoRunCmd", true);
            config.WriteBool("Sys", "ShowMainForm", true);
            config.UpdateFile();
        }
        writeItems(dir, {item(18, 0, 2, "自己的[cmd:own]")});
        {
            TIniFile exchange(dir.file("in.txt"));
            for (int32_t j = 1; j <= 2; ++j) {
                for (const char* every : {"Year", "Month", "Day"})
                    exchange.WriteInteger(itemSection(j), every, 0);
                exchange.WriteInteger(itemSection(j), "MindMethod", 2);
                exchange.WriteString(itemSection(j), "Message",
                                     j == 1 ? "[cmd:sh -c \"rm x\"]" : "[cmo:/tmp/x.desktop]");
            }
            exchange.WriteInteger("Main", "Items", 2);
            exchange.UpdateFile();
            TIniFile data(dir.file("DataFile.dat"));
            QCOMPARE(importItems(data, exchange, ActingItems::AddUnconfirmed), 2);
        }
        Run run(dir);
        PopupAnswerer answerer;
        run.window->show();
        QTRY_COMPARE(answerer.messages.size(), 3);
        QCOMPARE(run.fake.shell.commandLines, QStringList{"own"});
        QVERIFY(run.fake.shell.documents.isEmpty());
    }

    void cancellingTheOpenDialogChangesNothing() {
        TempDir dir;
        Program program(dir, 3);
        const auto before = snapshot(dir);
        const int boxes = MessageBox::boxCount();
        FileDialog::setNextAnswer(std::nullopt);
        program.command(MessageBox::Yes);
        QCOMPARE(MessageBox::boxCount(), boxes + 1);
        QVERIFY(snapshot(dir) == before);
    }

    void exportWritesTheSelectedLines() {
        TempDir dir;
        Program program(dir, 6);
        const QString target = QString::fromStdString(dir.file("out.txt"));
        FileDialog::setNextAnswer(target);
        QStringList shown;
        ModalAnswerer answerer([&](TForm10& window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("导出窗口"));
            for (int p = 0; p < lstIT(window)->count(); ++p)
                shown << lstIT(window)->item(p)->text();
            exportLines({1, 4})(window);
        });
        program.command(MessageBox::No);

        QCOMPARE(answerer.exportShows, 1);
        QCOMPARE(shown.size(), 6);
        QCOMPARE(shown.at(4), program.run->list().text(4));
        QCOMPARE(FileDialog::lastDialog()->mode(), FileDialog::Save);
        QCOMPARE(FileDialog::lastDialog()->filter(),
                 QStringLiteral("文本文件 (*.txt);;iCalendar (*.ics)"));
        QCOMPARE(MessageBox::lastBox().caption, QStringLiteral("导出成功"));
        QCOMPARE(MessageBox::lastBox().text,
                 QStringLiteral("已经成功导出数据！\n导出了 2 条提醒到 ") + target);
        const TIniFile written(target.toStdString());
        QCOMPARE(statedExchangeCount(written), 2);
        QCOMPARE(written.ReadString("Item1", "Message", ""), "r2");
        QCOMPARE(written.ReadString("Item2", "Message", ""), "r5");
    }

    void okWithoutASelectionSaysThereIsNothingToExport() {
        TempDir dir;
        Program program(dir, 3);
        const auto before = snapshot(dir);
        const int dialogs = FileDialog::dialogCount();
        ModalAnswerer answerer(exportLines({}));
        program.command(MessageBox::No);
        QCOMPARE(MessageBox::lastBox().caption, QStringLiteral("没有数据"));
        QCOMPARE(MessageBox::lastBox().text, QStringLiteral("没有可以导出的数据！"));
        QCOMPARE(FileDialog::dialogCount(), dialogs);
        QVERIFY(snapshot(dir) == before);
    }

    void cancellingTheExportWindowOrTheSaveDialogChangesNothing() {
        TempDir dir;
        Program program(dir, 3);
        const auto before = snapshot(dir);
        const int dialogs = FileDialog::dialogCount();
        const std::function<void(TForm10&)> ways[] = {
            [](TForm10& w) { button(w, "Button2")->click(); },
            [](TForm10& w) {
                lstIT(w)->item(0)->setSelected(true);
                w.close(); // the close box
            },
            {}, // closed without a selection
        };
        for (const auto& way : ways) {
            const int boxes = MessageBox::boxCount();
            ModalAnswerer answerer(way);
            program.command(MessageBox::No);
            QCOMPARE(MessageBox::boxCount(), boxes + 1);
            QVERIFY(!program.run->dialogs.exportWindow().ExportConfirmed);
        }
        QCOMPARE(FileDialog::dialogCount(), dialogs);

        FileDialog::setNextAnswer(std::nullopt);
        ModalAnswerer answerer(exportLines({0}));
        program.command(MessageBox::No);
        QCOMPARE(FileDialog::dialogCount(), dialogs + 1);
        QVERIFY(snapshot(dir) == before);
    }

    void anEmptyListOffersNoOk() {
        TempDir dir;
        Program program(dir, 0);
        bool okEnabled = true;
        int lines = -1;
        const int boxes = MessageBox::boxCount();
        ModalAnswerer answerer([&](TForm10& window) {
            okEnabled = button(window, "Button1")->isEnabled();
            lines = lstIT(window)->count();
            window.close();
        });
        program.command(MessageBox::No);
        QVERIFY(!okEnabled);
        QCOMPARE(lines, 0);
        QCOMPARE(MessageBox::boxCount(), boxes + 1);
    }

    void anExportThatCannotBeWrittenIsReported() {
        TempDir dir;
        Program program(dir, 2);
        const std::string target = dir.file("missing/out.txt");
        FileDialog::setNextAnswer(QString::fromStdString(target));
        ModalAnswerer answerer(exportLines({0}));
        program.command(MessageBox::No);
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::Critical);
        QCOMPARE(MessageBox::lastBox().caption, QStringLiteral("Kelvo"));
        QCOMPARE(MessageBox::lastBox().text, QString::fromStdString("无法写入 " + target +
                                                                    "：文件或文件夹不存在。\n\n"
                                                                    "Unable to write to " +
                                                                    target));
    }

    void aClickedLineBecomesTheToolTip() {
        TForm10 window;
        const QString longLine = QStringLiteral("每年 每月 每天 12 时 0 分 1 方式，提醒为：") +
                                 QString(200, QChar(u'长'));
        window.setLines({QStringLiteral("短"), longLine});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QListWidget* list = lstIT(window);
        QVERIFY(list->toolTip().isEmpty());
        const QRect line = list->visualItemRect(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line.center());
        QCOMPARE(list->toolTip(), longLine);
        QVERIFY(list->item(1)->isSelected());
        QCOMPARE(window.size(), QSize(432, 296));
        window.setLines({});
        QVERIFY(list->toolTip().isEmpty());
    }
};

QTEST_MAIN(ExchangeWindowTest)
#include "ExchangeWindowTest.moc"
