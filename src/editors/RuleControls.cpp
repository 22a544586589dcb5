#include "editors/RuleControls.h"

#include "editors/ItemInput.h"
#include "storage/ItemRuleKeys.h"
#include "widgets/NumericField.h"
#include "widgets/QtText.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTime>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace kelvo {
namespace {

constexpr int kHeight = 52;

QTimeEdit* clockField(const QString& name, QWidget* parent) {
    auto* field = new QTimeEdit(parent);
    field->setObjectName(name);
    field->setDisplayFormat(QStringLiteral("HH:mm"));
    return field;
}

QLabel* label(const char* text, QWidget* parent) {
    return new QLabel(QString::fromUtf8(text), parent);
}

} // namespace

void insertRow(QWidget& dialog, QWidget& row, int top, int height) {
    for (QObject* child : dialog.children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && w != &row && !w->isWindow() && w->y() >= top)
            w->move(w->x(), w->y() + height);
    }
    row.setGeometry(12, top, dialog.width() - 24, height - 4);
    dialog.setFixedSize(dialog.width(), dialog.height() + height);
}

RuleControls::RuleControls(NumericField& hour, NumericField& minute, QWidget* parent)
    : QWidget(parent), m_hour(hour), m_minute(minute),
      m_interval(new QCheckBox(QStringLiteral("间隔提醒：每隔"), this)),
      m_every(new QSpinBox(this)), m_start(clockField(QStringLiteral("intervalstart"), this)),
      m_end(clockField(QStringLiteral("intervalend"), this)), m_warnDays(new QLineEdit(this)),
      m_warnOwnTime(new QCheckBox(QStringLiteral("在"), this)),
      m_warnAt(clockField(QStringLiteral("warnat"), this)) {
    setObjectName(QStringLiteral("rulecontrols"));
    m_interval->setObjectName(QStringLiteral("interval"));
    m_every->setObjectName(QStringLiteral("intervalevery"));
    m_every->setRange(1, 9999); // the store check tells what is allowed
    m_warnDays->setObjectName(QStringLiteral("warndays"));
    m_warnDays->setToolTip(QStringLiteral("提前几天提醒，可以写几个，如 7、1（1 到 30 天）"));
    m_warnOwnTime->setObjectName(QStringLiteral("warnowntime"));
    m_warnOwnTime->setToolTip(QStringLiteral("不勾选：在提醒时间提前提醒"));
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    auto* window = new QHBoxLayout;
    window->addWidget(m_interval);
    window->addWidget(m_every);
    window->addWidget(label("分钟，从", this));
    window->addWidget(m_start);
    window->addWidget(label("到", this));
    window->addWidget(m_end);
    window->addStretch();
    auto* warnings = new QHBoxLayout;
    warnings->addWidget(label("提前", this));
    warnings->addWidget(m_warnDays, 1);
    warnings->addWidget(label("天提醒", this));
    warnings->addWidget(m_warnOwnTime);
    warnings->addWidget(m_warnAt);
    rows->addLayout(window);
    rows->addLayout(warnings);
    connect(m_interval, &QCheckBox::toggled, this, &RuleControls::enableWindow);
    connect(m_warnOwnTime, &QCheckBox::toggled, m_warnAt, &QWidget::setEnabled);
    connect(m_start, &QTimeEdit::timeChanged, this, &RuleControls::startChanged);
    // The spin fields' own line edits tell of every change, typed or set.
    for (NumericField* field : {&m_hour, &m_minute})
        connect(field->findChild<QLineEdit*>(), &QLineEdit::textChanged, this,
                &RuleControls::showSetTime);
    clear();
}

void RuleControls::insertInto(QWidget& dialog, int top) {
    insertRow(dialog, *this, top, kHeight);
}

void RuleControls::clear() {
    m_interval->setChecked(false);
    m_every->setValue(45);
    m_end->setTime(QTime(18, 0));
    m_warnDays->clear();
    m_warnOwnTime->setChecked(false);
    m_warnAt->setTime(QTime(9, 0));
    enableWindow();
    m_warnAt->setEnabled(false);
    showSetTime();
}

void RuleControls::load(const ItemInput& in) {
    clear();
    m_interval->setChecked(in.interval);
    m_every->setValue(in.intervalEvery);
    m_end->setTime(QTime(in.intervalEndHour, in.intervalEndMin));
    DayWarnings shown;
    std::copy_n(in.warnDays.begin(), std::min(in.warnDays.size(), shown.days.size()),
                shown.days.begin());
    m_warnDays->setText(toQString(dayCountsText(shown)).replace(u',', QStringLiteral("、")));
    m_warnOwnTime->setChecked(in.warnOwnTime);
    m_warnAt->setTime(QTime(in.warnHour, in.warnMin));
}

void RuleControls::readInto(ItemInput& in) const {
    in.interval = m_interval->isChecked();
    in.intervalEvery = m_every->value();
    in.intervalEndHour = m_end->time().hour();
    in.intervalEndMin = m_end->time().minute();
    // A text that is no list of numbers is refused as a day count out of range.
    in.warnDays = parseDayCounts(m_warnDays->text().toStdString()).value_or(std::vector{0});
    in.warnOwnTime = m_warnOwnTime->isChecked();
    in.warnHour = m_warnAt->time().hour();
    in.warnMin = m_warnAt->time().minute();
}

// The window starts at the set time: either shows what the other was set to.
void RuleControls::startChanged() {
    if (m_hour.value() != m_start->time().hour())
        m_hour.setValue(m_start->time().hour());
    if (m_minute.value() != m_start->time().minute())
        m_minute.setValue(m_start->time().minute());
}

void RuleControls::showSetTime() {
    const QTime set(m_hour.value(), m_minute.value());
    if (set.isValid() && set != m_start->time())
        m_start->setTime(set);
}

void RuleControls::enableWindow() {
    for (QWidget* w : std::initializer_list<QWidget*>{m_every, m_start, m_end})
        w->setEnabled(m_interval->isChecked());
}

} // namespace kelvo
