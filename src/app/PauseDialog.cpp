#include "app/PauseDialog.h"

#include "storage/PauseKey.h"
#include "widgets/MessageBox.h"
#include "widgets/QtText.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

namespace kelvo {
namespace {

QDate toQDate(const Date& d) {
    return QDate(d.year, d.month, d.day);
}

} // namespace

PauseDialog::PauseDialog(const Date& today, const Date& shown, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_today(today), m_day(new QDateEdit(toQDate(shown), this)) {
    setObjectName(QStringLiteral("PauseDialog"));
    setWindowTitle(QStringLiteral("暂停提醒"));
    m_day->setObjectName(QStringLiteral("pauseDay"));
    m_day->setCalendarPopup(true);
    m_day->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &PauseDialog::confirm);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("暂停到："), m_day);
    layout->addRow(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

std::optional<Date> PauseDialog::ask() {
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    const QDate d = m_day->date();
    return Date{d.year(), d.month(), d.day()};
}

void PauseDialog::confirm() {
    const QDate d = m_day->date();
    const std::string_view error = pauseError(Date{d.year(), d.month(), d.day()}, m_today);
    if (!error.empty()) {
        MessageBox::warning(this, QStringLiteral("输入错误"), toQString(error));
        return;
    }
    accept();
}

} // namespace kelvo
