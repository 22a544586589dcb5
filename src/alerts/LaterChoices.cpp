#include "alerts/LaterChoices.h"

#include "core/Clock.h"
#include "reminders/SnoozeChoice.h"
#include "widgets/FlatButton.h"
#include "widgets/MessageBox.h"
#include "widgets/QtText.h"

#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

namespace kelvo {
namespace {

// Seconds since 1970 UTC of a local time, by the system's time zone.
qint64 epochOf(const DateTime& t) {
    return QDateTime(QDate(t.date.year, t.date.month, t.date.day),
                     QTime(t.hour, t.minute, t.second), Qt::LocalTime)
        .toSecsSinceEpoch();
}

// The row's geometry: the label, the minute buttons, the day button, the field.
constexpr int kHeight = 23;
constexpr int kLabelWidth = 40;
constexpr int kMinuteWidth = 31;
constexpr int kDayWidth = 80;
constexpr int kGap = 2;

const Clock& systemClock() {
    static const SystemClock clock{};
    return clock;
}

} // namespace

LaterChoices::LaterChoices(QWidget* parent)
    : QWidget(parent), m_clock(&systemClock()), m_shownAt(minuteNumber(m_clock->now())),
      m_typed(new QLineEdit(this)) {
    setObjectName(QStringLiteral("laterChoices"));
    auto* label = new QLabel(QStringLiteral("稍后："), this);
    label->setGeometry(0, 0, kLabelWidth, kHeight);
    int x = kLabelWidth;
    for (const int minutes : kSnoozeMinutes) {
        auto* button = new FlatButton(this);
        button->setObjectName(QStringLiteral("later%1").arg(minutes));
        button->setText(QStringLiteral("%1分").arg(minutes));
        button->setToolTip(QStringLiteral("%1分钟后提醒").arg(minutes));
        button->setGeometry(x, 0, kMinuteWidth, kHeight);
        connect(button, &QPushButton::clicked, this, [this, minutes] { emit snooze(minutes); });
        x += kMinuteWidth + kGap;
    }
    auto* tomorrow = new FlatButton(this);
    tomorrow->setObjectName(QStringLiteral("laterTomorrow"));
    tomorrow->setText(QStringLiteral("明天同一时间"));
    tomorrow->setGeometry(x, 0, kDayWidth, kHeight);
    connect(tomorrow, &QPushButton::clicked, this,
            [this] { snoozeUntil(sameTimeTomorrow(fromMinuteNumber(m_shownAt))); });
    x += kDayWidth + kGap;
    m_typed->setObjectName(QStringLiteral("laterTyped"));
    m_typed->setMaxLength(5);
    m_typed->setToolTip(QStringLiteral("输入分钟数（如 25）或时间（如 14:30），按回车"));
    m_typed->setGeometry(x, 0, 338 - x, kHeight);
    m_typed->installEventFilter(this);
    setFixedSize(338, kHeight);
}

void LaterChoices::shown() {
    m_shownAt = minuteNumber(m_clock->now());
}

bool LaterChoices::type(const QKeyEvent& key) {
    const QString text = key.text();
    if (text.size() != 1 || !(text[0].isDigit() || text[0] == u':' || text[0] == u'：'))
        return false;
    m_typed->setFocus();
    m_typed->insert(text);
    return true;
}

// Enter in the field: the popup's own Enter does nothing else.
bool LaterChoices::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_typed && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            snoozeTyped();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// To the minute: the snooze counts from the request, seconds and all.
void LaterChoices::snoozeUntil(const DateTime& local) {
    const qint64 seconds = epochOf(local) - epochOf(m_clock->now());
    emit snooze(std::max(1, static_cast<int>(std::ceil(static_cast<double>(seconds) / 60))));
}

void LaterChoices::snoozeTyped() {
    const auto target = typedSnooze(m_typed->text().trimmed().toStdString(), m_clock->now());
    if (!target) {
        MessageBox::warning(window(), QStringLiteral("输入错误"), toQString(kTypedSnoozeError));
        m_typed->selectAll();
        return;
    }
    snoozeUntil(*target);
}

} // namespace kelvo
