#pragma once

#include "core/DateTime.h"

#include <QDialog>

#include <optional>

class QDateEdit;

namespace kelvo {

// "暂停到…": asks for the day from which a reminder reminds again. A day
// that has come already is refused with a message, and the dialog stays.
// (No Q_OBJECT: it declares no signals or slots.)
class PauseDialog : public QDialog {
public:
    // `today` is the clock's; `shown` the day first offered.
    PauseDialog(const Date& today, const Date& shown, QWidget* parent);

    // Shows the dialog modally: the day confirmed, none when cancelled.
    std::optional<Date> ask();

private:
    void confirm();

    Date m_today;
    QDateEdit* m_day;
};

} // namespace kelvo
