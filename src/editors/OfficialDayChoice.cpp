#include "editors/OfficialDayChoice.h"

#include "editors/ItemInput.h"
#include "editors/ReminderControls.h"
#include "reminders/ItemTexts.h"
#include "reminders/ReminderItem.h"
#include "reminders/Schedule.h"
#include "widgets/MessageBox.h"
#include "widgets/QtText.h"

#include <QComboBox>
#include <QRect>

namespace kelvo {

OfficialDayChoice::OfficialDayChoice(const ReminderControls& controls, QWidget* dialog,
                                     const QRect& place)
    : QObject(dialog), m_controls(controls), m_box(new QComboBox(dialog)) {
    m_box->setObjectName(QStringLiteral("officialdays"));
    m_box->setGeometry(place);
    // In the order of OfficialRule.
    m_box->addItems({QStringLiteral("按所选星期"),
                     toQString(officialRuleText(OfficialRule::Workdays)),
                     toQString(officialRuleText(OfficialRule::DaysOff))});
    m_box->setToolTip(
        QStringLiteral("法定工作日：周一至周五，法定节假日除外，调休上班的周末照常提醒"));
    connect(m_box, &QComboBox::currentIndexChanged, this, &OfficialDayChoice::follow);
    connect(controls.everyweek, &QCheckBox::toggled, this, &OfficialDayChoice::follow);
    follow();
}

void OfficialDayChoice::reset() {
    show(OfficialRule::None);
}

void OfficialDayChoice::show(OfficialRule rule) {
    m_box->setCurrentIndex(static_cast<int>(rule));
    follow();
}

OfficialRule OfficialDayChoice::chosen() const {
    return static_cast<OfficialRule>(m_box->currentIndex() < 0 ? 0 : m_box->currentIndex());
}

void OfficialDayChoice::addTo(ItemInput& input) const {
    input.official = input.everyWeek ? chosen() : OfficialRule::None;
}

void OfficialDayChoice::follow() {
    const bool weekly = m_controls.everyweek->isChecked();
    m_box->setEnabled(weekly);
    if (weekly)
        m_controls.setWeekBoxesEnabled(chosen() == OfficialRule::None);
}

void tellMissingHolidayYears(QWidget* parent, const ItemInput& input, const Date& today) {
    const ReminderItem item = itemFromInput(input);
    for (const int32_t year : yearsWithoutArrangement(scheduleOf(item), today))
        MessageBox::information(parent, QStringLiteral("提示"),
                                toQString(missingYearText(year, item.official)));
}

} // namespace kelvo
