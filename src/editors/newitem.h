#pragma once

#include "editors/OfficialDayChoice.h"
#include "editors/ReminderControls.h"
#include "editors/RuleControls.h"
#include "storage/Paths.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TForm2;
}

namespace kelvo {

class Clock;
class TForm9;
class TSetNL;
struct DateTime;
struct ItemInput;

// The add reminder dialog: validates what was entered and appends it to the
// data file as a new item. Created once; every showing starts afresh, today at
// the next full hour. Escape and the frame's close button cancel.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    // remindLater and lunarDate fill the date from "X分钟后" and "农历日期";
    // they are used only while the dialog runs.
    TForm2(const DataPaths& paths, const Clock& clock, TForm9& remindLater, TSetNL& lunarDate,
           QWidget* parent = nullptr);
    ~TForm2() override;

    // Every way of closing ends here; it stores the position first.
    void done(int result) override;

public slots:
    void everyyearClick();
    void everymonthClick();
    void everydayClick();
    void everyweekClick();
    void lunarrepeatClick();
    void issetmusicClick();
    void selectfileClick();
    void AutoCloseClick();
    void FlatSpeedButton3Click();
    void FlatSpeedButton4Click();
    void FlatSpeedButton5Click();
    void FlatSpeedButton1Click();
    void FlatSpeedButton2Click();
    void setyearKeyPress(QChar& key);
    void setmonthKeyPress(QChar& key);
    void setdayKeyPress(QChar& key);
    void sethourKeyPress(QChar& key);
    void setminKeyPress(QChar& key);
    void rdbfKeyPress(QChar& key);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();

    void connectHandlers();
    void loadQuickPhrases();
    void setDateTime(const DateTime& moment);
    ItemInput input() const;
    void store(const ItemInput& input);

    std::unique_ptr<Ui::TForm2> ui;
    const ReminderControls m_controls;
    OfficialDayChoice* m_official = nullptr;
    RuleControls* m_rules;
    const DataPaths m_paths;
    const Clock& m_clock;
    TForm9& m_remindLater;
    TSetNL& m_lunarDate;
};

} // namespace kelvo
