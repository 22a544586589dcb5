#include "alerts/showmsg.h"
#include "clock/ShowTimeForm.h"
#include "editors/QuickPhrases.h"
#include "editors/setfast.h"
#include "settings/setting.h"
#include "storage/ConfigFile.h"
#include "storage/IniFile.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "sync/SyncAccount.h"
#include "sync/SyncAccountDialog.h"
#include "widgets/FileDialog.h"
#include "widgets/MessageBox.h"
#include "widgets/Messages.h"
#include "widgets/NumericField.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

using namespace kelvo;
using namespace kelvo::test;

namespace {

// Records the opacity notices a window receives and lets them through.
class NoticeRecorder : public QObject {
public:
    std::vector<std::pair<qint64, qint64>> notices;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == static_cast<QEvent::Type>(kOpacityNotice)) {
            const auto& notice = static_cast<const WindowMessage&>(*event);
            notices.emplace_back(notice.wParam(), notice.lParam());
        }
        return false;
    }
};

// The settings dialog on a data directory, with a clock window that records
// the notices and is never shown.
struct SettingsRun {
    explicit SettingsRun(const TempDir& dir) : paths{dir.path()} {
        clock.installEventFilter(&recorder);
        dialog.setClockWindow(&clock);
    }
    void open() { dialog.show(); }
    void confirm() { dialog.FlatSpeedButton2Click(); }
    NumericField* field(const char* name) { return dialog.findChild<NumericField*>(name); }
    QCheckBox* box(const char* name) { return dialog.findChild<QCheckBox*>(name); }
    QLineEdit* edit(const char* name) { return dialog.findChild<QLineEdit*>(name); }
    TIniFile config() const { return TIniFile(paths.config()); }

    DataPaths paths;
    TForm11 phrases{paths};
    TForm5 dialog{paths, phrases};
    QWidget clock;
    NoticeRecorder recorder;
};

void writeConfig(const TempDir& dir, const std::function<void(TIniFile&)>& fill) {
    TIniFile config(dir.file("Config.ini"));
    fill(config);
    config.UpdateFile();
}

} // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setApplicationName("Kelvo"); }

    void showsTheStoredSettings() {
        TempDir dir;
        writeConfig(dir, [](TIniFile& c) {
            c.WriteString("Sys", "Corporation", "蓝星工作室");
            c.WriteString("Sys", "Version", "1.00.003");
            c.WriteInteger("Sys", "OpenTimes", 12);
            c.WriteBool("Sys", "ShowMainForm", false);
            c.WriteBool("Sys", "AutoCloseShowBox", true);
            c.WriteInteger("Sys", "AutoCloseShowBoxMin", 900);
            c.WriteInteger("Sys", "TimeLate", 0);
            c.WriteInteger("Sys", "TimeFormABV", 300);
            c.WriteInteger("Setting", "FormLeft", 40);
            c.WriteInteger("Setting", "FormTop", 30);
        });
        SettingsRun run(dir);
        run.open();
        QCOMPARE(run.dialog.windowTitle(), "设置");
        QCOMPARE(run.dialog.size(), QSize(326, 362));
        QCOMPARE(run.dialog.pos(), QPoint(40, 30));
        QCOMPARE(run.edit("corp")->text(), "蓝星工作室");
        QCOMPARE(run.edit("opentimes")->text(), "12");
        QVERIFY(!run.edit("ver")->isEnabled());
        QVERIFY(!run.edit("opentimes")->isEnabled());
        QVERIFY(run.box("minform")->isChecked());
        QVERIFY(run.field("autoclosemin")->isEnabled());
        QCOMPARE(run.field("autoclosemin")->text(), "600");
        QCOMPARE(run.field("timeLate")->text(), "1");
        QCOMPARE(run.field("TimeFormABV")->text(), "255");
        QVERIFY(run.dialog.focusWidget() == run.box("autorun"));
    }

    void confirmingClampsTypedNumbersAndShowsTheStoredValues() {
        const std::vector<std::pair<QString, int>> autoClose{{"5", 10}, {"700", 600}};
        const std::vector<std::pair<QString, int>> timeLate{{"0", 1}, {"150", 100}};
        for (size_t i = 0; i < autoClose.size(); ++i) {
            TempDir dir;
            SettingsRun run(dir);
            run.open();
            run.field("autoclosemin")->setText(autoClose[i].first);
            run.field("timeLate")->setText(timeLate[i].first);
            run.confirm();
            QVERIFY(TForm5::confirmed);
            QVERIFY(!run.dialog.isVisible());
            QCOMPARE(run.config().ReadInteger("Sys", "AutoCloseShowBoxMin", -1),
                     autoClose[i].second);
            QCOMPARE(run.config().ReadInteger("Sys", "TimeLate", -1), timeLate[i].second);
            QCOMPARE(run.dialog.remindLaterMinutes(), timeLate[i].second);
            run.open();
            QCOMPARE(run.field("autoclosemin")->value(), autoClose[i].second);
        }
    }

    void storesEveryEditableSettingButNotVersionOrCount() {
        TempDir dir;
        writeConfig(dir, [](TIniFile& c) {
            c.WriteString("Sys", "Version", "1.00.003");
            c.WriteInteger("Sys", "OpenTimes", 3);
        });
        SettingsRun run(dir);
        run.open();
        run.edit("corp")->setText("公司");
        run.edit("user")->setText("");
        run.edit("ver")->setText("9");
        run.edit("opentimes")->setText("99");
        run.edit("filename")->setText("/music/响铃.mp3");
        run.box("minform")->setChecked(true);
        run.box("autorun")->setChecked(true);
        run.box("autoclose")->setChecked(true);
        run.confirm();
        const TIniFile config = run.config();
        QCOMPARE(config.ReadString("Sys", "Corporation", "?"), "公司");
        QCOMPARE(config.ReadString("Sys", "User", "?"), "");
        QCOMPARE(config.ReadString("Sys", "Music", ""), "/music/响铃.mp3");
        QCOMPARE(config.ReadString("Sys", "ShowMainForm", ""), "0");
        QCOMPARE(config.ReadString("Sys", "AutoRunCmd", ""), "1");
        QCOMPARE(config.ReadString("Sys", "AutoCloseShowBox", ""), "1");
        QCOMPARE(config.ReadString("Sys", "Version", ""), "1.00.003");
        QCOMPARE(config.ReadInteger("Sys", "OpenTimes", -1), 3);
    }

    void opacityNoticeFollowsTheTranslucencyBox() {
        TempDir dir;
        writeConfig(dir, [](TIniFile& c) { c.WriteInteger("Sys", "TimeFormABV", 77); });
        SettingsRun run(dir);
        run.open();
        run.box("TimeFormAB")->setChecked(false);
        QVERIFY(!run.field("TimeFormABV")->isEnabled());
        run.confirm();
        QCOMPARE(run.recorder.notices, (std::vector<std::pair<qint64, qint64>>{{0, 0}}));
        QCOMPARE(run.config().ReadString("Sys", "TimeFormAB", ""), "0");
        QCOMPARE(run.config().ReadInteger("Sys", "TimeFormABV", -1), 77);

        run.open();
        run.box("TimeFormAB")->setChecked(true);
        run.field("TimeFormABV")->setText("300");
        run.confirm();
        QCOMPARE(run.recorder.notices.back(), (std::pair<qint64, qint64>{1, 255}));
        QCOMPARE(run.config().ReadInteger("Sys", "TimeFormABV", -1), 255);
    }

    void opaqueClockLeavesTheOpacityFieldUnloaded() {
        TempDir dir;
        writeConfig(dir, [](TIniFile& c) {
            c.WriteBool("Sys", "TimeFormAB", false);
            c.WriteInteger("Sys", "TimeFormABV", 200);
        });
        SettingsRun run(dir);
        run.open();
        QVERIFY(!run.field("TimeFormABV")->isEnabled());
        QCOMPARE(run.field("TimeFormABV")->value(), 10);
        run.box("TimeFormAB")->setChecked(true);
        run.confirm();
        QCOMPARE(run.config().ReadInteger("Sys", "TimeFormABV", -1), 10);
        QCOMPARE(run.recorder.notices.back(), (std::pair<qint64, qint64>{1, 10}));
    }

    void closeStoresOnlyThePosition() {
        TempDir dir;
        SettingsRun run(dir);
        run.open();
        run.dialog.move(120, 80);
        run.edit("corp")->setText("changed");
        run.field("timeLate")->setText("50");
        run.dialog.FlatSpeedButton1Click();
        QVERIFY(!TForm5::confirmed);
        QVERIFY(!run.dialog.isVisible());
        const TIniFile config = run.config();
        QCOMPARE(config.ReadInteger("Setting", "FormLeft", -1), 120);
        QCOMPARE(config.ReadInteger("Setting", "FormTop", -1), 80);
        QCOMPARE(config.ReadString("Sys", "Corporation", "none"), "none");
        QCOMPARE(config.ReadString("Sys", "TimeLate", "none"), "none");
        QVERIFY(run.recorder.notices.empty());
    }

    // Alt+F4 and the frame's close button act as 关闭: after an OK with 30
    // minutes, a 0 typed and then closed by the window manager is neither
    // stored nor taken over; Escape does not close the dialog at all.
    void closedByTheWindowManagerStoresNothing() {
        TempDir dir;
        SettingsRun run(dir);
        run.open();
        run.field("timeLate")->setText("30");
        run.confirm();
        QCOMPARE(run.dialog.remindLaterMinutes(), 30);

        run.open();
        run.field("timeLate")->setText("0");
        run.edit("corp")->setText("typed");
        QTest::keyClick(run.field("timeLate"), Qt::Key_Escape);
        QVERIFY(run.dialog.isVisible());
        run.dialog.move(90, 70);
        QVERIFY(run.dialog.windowHandle()->close());
        QVERIFY(!run.dialog.isVisible());
        QVERIFY(!TForm5::confirmed);
        QCOMPARE(run.dialog.remindLaterMinutes(), 30);
        const TIniFile config = run.config();
        QCOMPARE(config.ReadInteger("Sys", "TimeLate", -1), 30);
        QCOMPARE(config.ReadString("Sys", "Corporation", "none"), "");
        QCOMPARE(config.ReadInteger("Setting", "FormLeft", -1), 90);
        QCOMPARE(run.recorder.notices.size(), size_t(1));
        run.open();
        QCOMPARE(run.field("timeLate")->value(), 30);
        QCOMPARE(run.edit("corp")->text(), "");
    }

    void spinFieldsDropSignsAndPoints() {
        TempDir dir;
        SettingsRun run(dir);
        run.open();
        NumericField* field = run.field("timeLate");
        field->setText("");
        QTest::keyClicks(field, "1+-.2");
        QCOMPARE(field->text(), "12");
    }

    void musicChooserPutsTheChosenPath() {
        TempDir dir;
        SettingsRun run(dir);
        run.open();
        run.edit("filename")->setText("old.wav");
        FileDialog::setNextAnswer(std::nullopt);
        run.dialog.FlatSpeedButton4Click();
        QCOMPARE(run.edit("filename")->text(), "old.wav");
        QCOMPARE(FileDialog::lastDialog()->filter(),
                 "音乐文件 (*.ogg *.opus *.flac *.mp3 *.wav *.mid *.avi)");
        FileDialog::setNextAnswer("/home/u/铃声.mp3");
        run.dialog.FlatSpeedButton4Click();
        QCOMPARE(run.edit("filename")->text(), "/home/u/铃声.mp3");
    }

    // The chooser opens in the music folder the user's folders name, or at
    // home when there is none.
    void musicChooserOpensInTheMusicFolder() {
        TempDir dir;
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.path()));
        const std::string music = dir.file("我的音乐");
        std::filesystem::create_directory(music);
        dir.write("user-dirs.dirs", "XDG_MUSIC_DIR=\"" + music + "\"\n");
        SettingsRun run(dir);
        run.open();
        FileDialog::setNextAnswer(std::nullopt);
        run.dialog.FlatSpeedButton4Click();
        QCOMPARE(FileDialog::lastDialog()->directory(), QString::fromStdString(music));
        std::filesystem::remove(music);
        FileDialog::setNextAnswer(std::nullopt);
        run.dialog.FlatSpeedButton4Click();
        QCOMPARE(FileDialog::lastDialog()->directory(), QDir::homePath());
        qputenv("XDG_CONFIG_HOME", oldConfig);
    }

    // "重复播放直到关闭" and "用系统通知提醒" show and store their keys; the
    // rows above them keep their places.
    void alertChoicesAreShownAndStored() {
        TempDir dir;
        writeConfig(dir, [](TIniFile& c) { c.WriteBool("Sys", "RepeatSound", true); });
        SettingsRun run(dir);
        run.open();
        QVERIFY(run.box("repeatSound")->isChecked());
        QVERIFY(!run.box("notifyAlerts")->isChecked());
        QCOMPARE(run.box("repeatSound")->text(), "重复播放直到关闭");
        QCOMPARE(run.box("notifyAlerts")->text(), "用系统通知提醒");
        QVERIFY(run.box("repeatSound")->geometry().top() >
                run.field("TimeFormABV")->geometry().bottom());
        QVERIFY(run.dialog.rect().contains(
            run.dialog.findChild<QWidget*>("FlatSpeedButton1")->geometry()));
        run.box("repeatSound")->setChecked(false);
        run.box("notifyAlerts")->setChecked(true);
        run.confirm();
        QCOMPARE(run.config().ReadString("Sys", "RepeatSound", ""), "0");
        QCOMPARE(run.config().ReadString("Sys", "NotifyAlerts", ""), "1");
    }

    // "试听铃声" plays the sound in the field once, a second click stops it;
    // an empty field beeps, and a sound that cannot be played says why.
    void trySoundPlaysStopsAndTellsFailures() {
        TempDir dir;
        FakeSound sound;
        SettingsRun run(dir);
        run.dialog.setSound(sound);
        run.open();
        auto* button = run.dialog.findChild<QAbstractButton*>("trySound");
        QCOMPARE(button->text(), "试听铃声");
        run.edit("filename")->setText("/music/铃.wav");
        button->click();
        QCOMPARE(sound.played, QStringList{"/music/铃.wav"});
        QCOMPARE(sound.repeated, QList<bool>{false});
        button->click();
        QCOMPARE(sound.stopped, 1);
        run.edit("filename")->setText("");
        button->click();
        QCOMPARE(sound.beeps, 1);

        sound.playable = false;
        run.edit("filename")->setText("/music/坏.mp3");
        MessageBox::setNextAnswer(MessageBox::Ok);
        const int boxes = MessageBox::boxCount();
        button->click();
        QTRY_COMPARE(MessageBox::boxCount(), boxes + 1);
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::Warning);
        QCOMPARE(MessageBox::lastBox().text, "无法播放：/music/坏.mp3（不支持的格式）");
        sound.playable = true;
        button->click(); // plays again: the failed trial is over
        QCOMPARE(sound.played.size(), 3);
    }

    void quickPhrasesButtonOpensTheEditor() {
        TempDir dir;
        dir.write("FastFinish.ini", "x\r\n");
        SettingsRun run(dir);
        run.open();
        QString shown;
        QTimer::singleShot(0, [&] {
            shown = run.phrases.findChild<QPlainTextEdit*>("mmFastFinish")->toPlainText();
            run.phrases.FlatButton2Click();
        });
        run.dialog.FlatButton1Click();
        QCOMPARE(shown, "x\n");
        QVERIFY(run.dialog.isVisible());
    }

    // 同步… opens the sync account over the settings, with the account of
    // Config.ini; opening it loads no sync module.
    void syncButtonOpensTheAccountWithoutTheModule() {
        TempDir dir;
        firstStart(dir);
        TIniFile config(DataPaths{dir.path()}.config());
        writeSyncSettings(config, {"http://127.0.0.1:9/", "alice", "/alice/kelvo/", {}, true});
        Run run(dir);
        run.window->show();
        QString url;
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, [&] {
                auto* account = run.dialogs.settings().findChild<SyncAccountDialog*>();
                url = account->findChild<QLineEdit*>("url")->text();
                account->reject();
                run.dialogs.settings().FlatSpeedButton1Click();
            });
            run.dialogs.settings().findChild<QPushButton*>("syncAccount")->click();
        });
        run.window->FlatSpeedButton1Click();
        QCOMPARE(url, "http://127.0.0.1:9/");
        QVERIFY(run.dialogs.settings().findChildren<SyncAccountDialog*>().isEmpty());
        std::ifstream maps("/proc/self/maps");
        const std::string mapped{std::istreambuf_iterator<char>(maps), {}};
        QVERIFY(mapped.find("kelvo_sync") == std::string::npos);
    }

    // The main window takes the remind-later minutes only after OK.
    void mainWindowTakesRemindLaterMinutesAfterConfirming() {
        TempDir dir;
        firstStart(dir);
        Run run(dir);
        run.window->show();
        NoticeRecorder recorder;
        run.dialogs.clock().installEventFilter(&recorder);
        TForm4::remindLaterMinutes = 5;
        auto* timeLate = run.dialogs.settings().findChild<NumericField*>("timeLate");

        QTimer::singleShot(0, [&] {
            timeLate->setText("150");
            run.dialogs.settings().FlatSpeedButton1Click();
        });
        run.window->FlatSpeedButton1Click();
        QCOMPARE(TForm4::remindLaterMinutes, 5);

        QTimer::singleShot(0, [&] {
            timeLate->setText("150");
            run.dialogs.settings().FlatSpeedButton2Click();
        });
        run.window->FlatSpeedButton1Click();
        QCOMPARE(TForm4::remindLaterMinutes, 100);
        QCOMPARE(recorder.notices.size(), size_t(1));
    }

    // An OK with 20 minutes, then 0 typed and the dialog closed by its frame
    // (a close event, as Alt+F4 sends): the popups keep 20.
    void mainWindowKeepsConfirmedMinutesWhenClosedByTheFrame() {
        TempDir dir;
        firstStart(dir);
        Run run(dir);
        run.window->show();
        TForm5& dialog = run.dialogs.settings();
        auto* timeLate = dialog.findChild<NumericField*>("timeLate");
        QTimer::singleShot(0, [&] {
            timeLate->setText("20");
            dialog.FlatSpeedButton2Click();
        });
        run.window->FlatSpeedButton1Click();
        QCOMPARE(TForm4::remindLaterMinutes, 20);

        for (const char* typed : {"0", "75"}) {
            QTimer::singleShot(0, [&] {
                timeLate->setText(typed);
                QCloseEvent close;
                QApplication::sendEvent(&dialog, &close);
            });
            run.window->FlatSpeedButton1Click();
            QVERIFY(!dialog.isVisible());
            QCOMPARE(TForm4::remindLaterMinutes, 20);
        }
        QCOMPARE(run.config().ReadInteger("Sys", "TimeLate", -1), 20);
    }

    // --- quick phrases ---------------------------------------------------

    void phraseEditorLoadsAnyLineBreaksAndKeepsBlanks() {
        TempDir dir;
        dir.write("FastFinish.ini", "a\n b\r\nc\rd\n");
        const DataPaths paths{dir.path()};
        TForm11 editor(paths);
        editor.show();
        auto* box = editor.findChild<QPlainTextEdit*>("mmFastFinish");
        QCOMPARE(box->toPlainText(), "a\n b\nc\nd\n");
        editor.FlatButton1Click();
        QCOMPARE(dir.read("FastFinish.ini"), "a\r\n b\r\nc\r\nd\r\n");
        QCOMPARE(loadQuickPhrases(paths.fastFinish()),
                 (std::vector<std::string>{"a", " b", "c", "d"}));
    }

    void savingDropsEmptyLinesAndCancelKeepsTheFile() {
        TempDir dir;
        const DataPaths paths{dir.path()};
        TForm11 editor(paths);
        editor.show();
        auto* box = editor.findChild<QPlainTextEdit*>("mmFastFinish");
        QVERIFY(box->toPlainText().isEmpty());
        box->setPlainText("开会\n\n  \nb\n\n");
        editor.FlatButton1Click();
        QVERIFY(!editor.isVisible());
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        // "开会" in GB18030, the blank line kept, one final break.
        QCOMPARE(dir.read("FastFinish.ini"), "\xbf\xaa\xbb\xe1\r\n  \r\nb\r\n");

        editor.show();
        box->setPlainText("changed");
        editor.FlatButton2Click();
        QCOMPARE(dir.read("FastFinish.ini"), "\xbf\xaa\xbb\xe1\r\n  \r\nb\r\n");
        editor.show();
        QCOMPARE(box->toPlainText(), "开会\n  \nb\n");
    }

    void unwritablePhraseFileKeepsTheEditorOpen() {
        TempDir dir;
        std::filesystem::create_directory(dir.file("FastFinish.ini"));
        const DataPaths paths{dir.path()};
        TForm11 editor(paths);
        editor.show();
        auto* box = editor.findChild<QPlainTextEdit*>("mmFastFinish");
        box->setPlainText("a\n\nb");
        MessageBox::setNextAnswer(MessageBox::Ok);
        editor.FlatButton1Click();
        QVERIFY(editor.isVisible());
        QCOMPARE(MessageBox::lastBox().icon, MessageBox::Critical);
        QVERIFY(MessageBox::lastBox().text.contains(QString::fromStdString(paths.fastFinish())));
        QCOMPARE(box->toPlainText(), "a\nb");
        editor.close();
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "SettingsDialogTest.moc"
