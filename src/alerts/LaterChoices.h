#pragma once

#include <QWidget>

#include <cstdint>

class QKeyEvent;
class QLineEdit;

namespace kelvo {

class Clock;
struct DateTime;

// The popup's row of remind-later choices: "5分" … "60分", "明天同一时间" and
// a field for minutes or a time of day, confirmed with Enter. Digits and a
// colon typed anywhere in the popup go into the field. Each choice asks for
// a snooze of so many minutes, counted in real time (a day across a change
// of daylight saving time is 23 or 25 hours).
class LaterChoices : public QWidget {
    Q_OBJECT
public:
    explicit LaterChoices(QWidget* parent);

    // The clock the choices count from; the system's unless set.
    void setClock(const Clock& clock) { m_clock = &clock; }

    // The popup came up: "明天同一时间" is this minute tomorrow.
    void shown();
    // Takes a digit or a colon typed into the popup into the field;
    // whether it took it.
    bool type(const QKeyEvent& key);

signals:
    void snooze(int minutes);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void snoozeUntil(const DateTime& local);
    void snoozeTyped();

    const Clock* m_clock;
    int64_t m_shownAt = 0; // local minute number
    QLineEdit* m_typed;
};

} // namespace kelvo
