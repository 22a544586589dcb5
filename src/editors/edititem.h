#pragma once

#include "editors/OfficialDayChoice.h"
#include "editors/ReminderControls.h"
#include "editors/RuleControls.h"
#include "storage/Paths.h"

#include <QDialog>

#include <cstdint>
#include <memory>

namespace Ui {
class TForm6;
}

namespace kelvo {

class Clock;
struct ItemInput;
struct ReminderItem;

// The edit reminder dialog: loads the reminder named by Edit/Item of the
// hand-off file into its controls, checks the input as the add dialog does
// and rewrites the same section of the data file.
class TForm6 : public QDialog {
    Q_OBJECT
public:
    TForm6(const DataPaths& paths, const Clock& clock, QWidget* parent = nullptr);
    ~TForm6() override;

    void FlatSpeedButton1Click();
    void FlatSpeedButton2Click();
    void everyyearClick();
    void everymonthClick();
    void everydayClick();
    void everyweekClick();
    void lunarrepeatClick();
    void issetmusicClick();
    void selectfileClick();
    void setyearKeyPress(QChar& key);
    void setmonthKeyPress(QChar& key);
    void setdayKeyPress(QChar& key);
    void sethourKeyPress(QChar& key);
    void setminKeyPress(QChar& key);
    void rdbfKeyPress(QChar& key);

    // Every closing, by any path, ends here.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void FormClose();
    void resetControls();
    void loadItem(const ReminderItem& item);
    void loadDay(int32_t day);
    ItemInput readInput() const;
    void store(ItemInput input);

    std::unique_ptr<Ui::TForm6> ui;
    const ReminderControls m_controls;
    OfficialDayChoice* m_official = nullptr;
    RuleControls* m_rules;
    const DataPaths m_paths;
    const Clock& m_clock;
    int32_t m_item = 0; // the item being edited, from the hand-off file
};

} // namespace kelvo
