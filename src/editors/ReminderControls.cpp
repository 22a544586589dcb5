#include "editors/ReminderControls.h"

#include "editors/ItemInput.h"
#include "widgets/FileDialog.h"
#include "widgets/MessageBox.h"
#include "widgets/QtText.h"

#include "lunar/LunarNames.h"
#include "lunar/LunarRepeat.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace kelvo {

void ReminderControls::setLimits(int advanceUpper) const {
    const struct {
        NumericField* field;
        int lower, upper;
    } fields[] = {{setyear, 2000, 3000}, {setmonth, 1, 12}, {setday, 1, 31},
                  {sethour, 0, 23},      {setmin, 0, 59},   {rdbf, 0, advanceUpper}};
    for (const auto& f : fields) {
        f.field->setRange(f.lower, f.upper);
        f.field->setValue(f.lower);
    }
}

void ReminderControls::everyyearClick() const {
    setyear->setEnabled(!everyyear->isChecked());
}

void ReminderControls::everymonthClick() const {
    setmonth->setEnabled(!everymonth->isChecked());
}

void ReminderControls::everydayClick() const {
    if (everyday->isChecked()) {
        everyweek->setChecked(false);
        setday->setEnabled(false);
    } else {
        setday->setEnabled(true);
    }
    setWeekBoxesEnabled(false);
}

void ReminderControls::everyweekClick() const {
    const bool weekly = everyweek->isChecked();
    if (weekly)
        everyday->setChecked(false);
    setday->setEnabled(!weekly);
    setWeekBoxesEnabled(weekly);
}

void ReminderControls::setWeekBoxesEnabled(bool enabled) const {
    for (QCheckBox* box : weekBoxes)
        box->setEnabled(enabled);
}

void ReminderControls::clearRepetition() const {
    lunarrepeat->setChecked(false);
    lunarcycle->setCurrentIndex(0);
    for (QCheckBox* box : {everyyear, everymonth, everyday, everyweek})
        box->setChecked(false);
    for (QCheckBox* box : weekBoxes)
        box->setChecked(false);
    setWeekBoxesEnabled(false);
}

// clicked, unlike toggled, comes from the user alone: a dialog that shows a
// stored reminder ticks its boxes without widening it.
void ReminderControls::connectWidening() const {
    for (QCheckBox* box : {everyday, everyweek}) {
        QObject::connect(box, &QCheckBox::clicked, box, [this](bool ticked) {
            if (!ticked)
                return;
            everyyear->setChecked(true);
            everymonth->setChecked(true);
        });
    }
}

void ReminderControls::issetmusicClick() const {
    const bool withMusic = issetmusic->isChecked();
    setmusic->setEnabled(withMusic);
    selectfile->setEnabled(withMusic);
}

void ReminderControls::selectfileClick(QWidget* parent) const {
    if (const std::optional<QString> file = chooseMusicFile(parent))
        setmusic->setText(*file);
}

void ReminderControls::clearSound() const {
    issetmusic->setChecked(false);
    setmusic->clear();
    setmusic->setEnabled(false);
    selectfile->setEnabled(false);
}

void ReminderControls::lunarrepeatClick() const {
    const bool lunar = lunarrepeat->isChecked();
    for (QCheckBox* box : {everyyear, everymonth, everyday, everyweek}) {
        if (lunar)
            box->setChecked(false);
        box->setEnabled(!lunar);
    }
    lunarcycle->setEnabled(lunar);
}

void ReminderControls::setLunar(const LunarRepeat& repeat) const {
    lunarrepeat->setChecked(repeat.active());
    if (repeat.active())
        lunarcycle->setCurrentIndex(repeat.cycle == LunarRepeat::kMonthly ? 1 : 0);
}

void ReminderControls::showLunarDate() const {
    const int year = setyear->value(), month = setmonth->value(), day = setday->value();
    const bool exists = month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
    const std::string name =
        exists ? lunarDateName(SolarToLunar(Date{year, month, day})) : std::string();
    lunardate->setText(QString::fromStdString(name));
}

// The spin fields' own line edits tell of every change, typed or set.
void ReminderControls::connectLunarDate() const {
    for (NumericField* field : {setyear, setmonth, setday}) {
        QObject::connect(field->findChild<QLineEdit*>(), &QLineEdit::textChanged, lunardate,
                         [this] { showLunarDate(); });
    }
}

void ReminderControls::setDate(int year, int month, int day) const {
    setyear->setValue(year);
    setmonth->setValue(month);
    setday->setValue(day);
}

void ReminderControls::setTime(int hour, int minute) const {
    sethour->setValue(hour);
    setmin->setValue(minute);
}

ItemInput ReminderControls::input() const {
    ItemInput in;
    in.everyYear = everyyear->isChecked();
    in.everyMonth = everymonth->isChecked();
    in.everyDay = everyday->isChecked();
    in.everyWeek = everyweek->isChecked();
    for (size_t i = 0; i < weekBoxes.size(); ++i)
        in.weekdays[i] = weekBoxes[i]->isChecked();
    in.year = setyear->value();
    in.month = setmonth->value();
    in.day = setday->value();
    in.hour = sethour->value();
    in.min = setmin->value();
    in.rdBefore = rdbf->value();
    for (size_t i = 0; i < mindButtons.size(); ++i) {
        if (mindButtons[i]->isChecked())
            in.mindMethod = static_cast<int32_t>(i);
    }
    in.withMusic = issetmusic->isChecked();
    in.music = setmusic->text().toStdString();
    in.lunar = lunarrepeat->isChecked();
    in.lunarCycle = lunarcycle->currentIndex() == 1 ? LunarRepeat::kMonthly : LunarRepeat::kYearly;
    return in;
}

bool confirmedInput(QWidget* parent, const ItemInput& input, const DateTime& now,
                    std::string_view question) {
    if (const std::string_view error = inputError(input); !error.empty()) {
        MessageBox::warning(parent, toQString(kInputErrorCaption), toQString(error));
        return false;
    }
    const std::string warning = firingWarning(itemFromInput(input), now);
    return warning.empty() || MessageBox::question(parent, QStringLiteral("询问"),
                                                   toQString(warning) + toQString(question),
                                                   MessageBox::No) == MessageBox::Yes;
}

} // namespace kelvo
