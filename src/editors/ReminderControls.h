#pragma once

#include "widgets/NumericField.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include <array>
#include <string_view>

class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace kelvo {

struct DateTime;
struct ItemInput;
struct LunarRepeat;

// The controls the add and the edit dialog have in common (everything but
// the message, the buttons and the add dialog's extras), with what the two
// dialogs do alike with them: the repetition boxes enabling the fields they
// replace, the sound box and its file chooser, the numeric fields' limits
// and key filter, and reading the controls into an ItemInput.
class ReminderControls {
public:
    // Any generated form with the shared control names.
    template <class Form>
    explicit ReminderControls(const Form& ui)
        : everyyear(ui.everyyear), everymonth(ui.everymonth), everyday(ui.everyday),
          everyweek(ui.everyweek), weekBoxes{ui.week1, ui.week2, ui.week3, ui.week4,
                                             ui.week5, ui.week6, ui.week7},
          setyear(ui.setyear), setmonth(ui.setmonth), setday(ui.setday), sethour(ui.sethour),
          setmin(ui.setmin), rdbf(ui.rdbf), mindButtons{ui.mind0, ui.mind1, ui.mind2, ui.mind3},
          issetmusic(ui.issetmusic), setmusic(ui.setmusic), selectfile(ui.selectfile),
          lunarrepeat(ui.lunarrepeat), lunarcycle(ui.lunarcycle), lunardate(ui.lunardate) {}

    // Connects the boxes, the file button and the fields' key filters to the
    // dialog's handlers of the same names.
    template <class Dialog> void connectHandlers(Dialog* dialog) const {
        QObject::connect(everyyear, &QCheckBox::toggled, dialog, &Dialog::everyyearClick);
        QObject::connect(everymonth, &QCheckBox::toggled, dialog, &Dialog::everymonthClick);
        QObject::connect(everyday, &QCheckBox::toggled, dialog, &Dialog::everydayClick);
        QObject::connect(everyweek, &QCheckBox::toggled, dialog, &Dialog::everyweekClick);
        QObject::connect(issetmusic, &QCheckBox::toggled, dialog, &Dialog::issetmusicClick);
        QObject::connect(selectfile, &QPushButton::clicked, dialog, &Dialog::selectfileClick);
        QObject::connect(setyear, &NumericField::keyPress, dialog, &Dialog::setyearKeyPress);
        QObject::connect(setmonth, &NumericField::keyPress, dialog, &Dialog::setmonthKeyPress);
        QObject::connect(setday, &NumericField::keyPress, dialog, &Dialog::setdayKeyPress);
        QObject::connect(sethour, &NumericField::keyPress, dialog, &Dialog::sethourKeyPress);
        QObject::connect(setmin, &NumericField::keyPress, dialog, &Dialog::setminKeyPress);
        QObject::connect(rdbf, &NumericField::keyPress, dialog, &Dialog::rdbfKeyPress);
        QObject::connect(lunarrepeat, &QCheckBox::toggled, dialog, &Dialog::lunarrepeatClick);
        connectLunarDate();
        connectWidening();
    }

    // The fields' limits and first values; rdbf runs 0 … advanceUpper
    // (0 … 0 leaves it without limits).
    void setLimits(int advanceUpper) const;

    // The repetition boxes' handlers: each disables the field it replaces;
    // the day and the week box untick each other, and only the week box
    // enables the weekdays.
    void everyyearClick() const;
    void everymonthClick() const;
    void everydayClick() const;
    void everyweekClick() const;
    void setWeekBoxesEnabled(bool enabled) const;
    // No repetition: every repetition box, the weekdays and the lunar box
    // unticked, the weekdays disabled.
    void clearRepetition() const;

    // The sound box enables the path and its chooser; the chooser puts the
    // picked file into the path.
    void issetmusicClick() const;
    void selectfileClick(QWidget* parent) const;
    // No sound: the box unticked, the path empty, both disabled.
    void clearSound() const;

    // The lunar box: ticked, the date fields hold the first occurrence of
    // their lunar date, which repeats by lunarcycle; the other repetitions
    // are unticked and disabled while it is.
    void lunarrepeatClick() const;
    // Ticks the lunar box for a stored repetition (unticks it for none).
    void setLunar(const LunarRepeat& repeat) const;
    // lunardate names the lunar date of the date fields ("农历八月十五").
    void showLunarDate() const;

    void setDate(int year, int month, int day) const;
    void setTime(int hour, int minute) const;

    // Everything but the message, which each dialog reads from its own control.
    ItemInput input() const;

    QCheckBox* const everyyear;
    QCheckBox* const everymonth;
    QCheckBox* const everyday;
    QCheckBox* const everyweek;
    const std::array<QCheckBox*, 7> weekBoxes; // Monday first
    NumericField* const setyear;
    NumericField* const setmonth;
    NumericField* const setday;
    NumericField* const sethour;
    NumericField* const setmin;
    NumericField* const rdbf;
    const std::array<QRadioButton*, 4> mindButtons; // by mind method
    QCheckBox* const issetmusic;
    QLineEdit* const setmusic;
    QPushButton* const selectfile;
    QCheckBox* const lunarrepeat;
    QComboBox* const lunarcycle; // 每年, 每月
    QLabel* const lunardate;

private:
    void connectLunarDate() const;
    // A day or week box ticked by the user ticks 每年 and 每月 as well, so
    // that it repeats for good; the user may untick them again.
    void connectWidening() const;
};

// The check both dialogs run before they store: a refused input is told
// under kInputErrorCaption; an item that never fires from `now` on is
// stored only when the user answers Yes to its warning followed by
// `question` (No is the default). True when the input is to be stored.
bool confirmedInput(QWidget* parent, const ItemInput& input, const DateTime& now,
                    std::string_view question);

} // namespace kelvo
