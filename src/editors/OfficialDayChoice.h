#pragma once

#include <QObject>

#include <cstdint>

class QComboBox;
class QRect;
class QWidget;

namespace kelvo {

enum class OfficialRule : int32_t;
class ReminderControls;
struct Date;
struct ItemInput;

// The choice beside the weekdays of the add and edit dialogs: the ticked
// weekdays ("按所选星期"), or the official calendar's workdays ("法定工作日")
// or days off ("法定节假日"). It can be chosen while the week box is ticked;
// an official choice disables the weekday boxes, which it replaces.
class OfficialDayChoice : public QObject {
public:
    // Puts its box (named "officialdays") on `dialog` at `place`.
    OfficialDayChoice(const ReminderControls& controls, QWidget* dialog, const QRect& place);

    // The ticked weekdays again.
    void reset();
    // The choice of a stored item (its official rule with a weekday code).
    void show(OfficialRule rule);
    // The rule chosen, into the input the dialog stores.
    void addTo(ItemInput& input) const;

    QComboBox* box() const { return m_box; }

private:
    OfficialRule chosen() const;
    // The box is enabled with the week box; the weekdays with the week box
    // and no official choice.
    void follow();

    const ReminderControls& m_controls;
    QComboBox* m_box;
};

// Before an item with an official rule is stored: each year in which it
// falls back for want of holiday data is told in a box
// ("2027年的节假日安排还没有导入，将按周一至周五提醒").
void tellMissingHolidayYears(QWidget* parent, const ItemInput& input, const Date& today);

} // namespace kelvo
