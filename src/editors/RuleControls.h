#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QSpinBox;
class QTimeEdit;

namespace kelvo {

class NumericField;
struct ItemInput;

// Puts `row` into the dialog at the height `top`, `height` high: what lies
// at or below it moves down by that much, and the dialog grows by it.
void insertRow(QWidget& dialog, QWidget& row, int top, int height);

// The add and edit dialogs' controls of an interval reminder and of
// warnings days ahead, two lines:
//   [x] 间隔提醒：每隔 [45] 分钟，从 [09:00] 到 [18:00]
//   提前 [7、1] 天提醒  [ ] 在 [09:00]（不勾选：在提醒时间）
// The window's start is the dialog's set time: the two show the same.
class RuleControls : public QWidget {
    Q_OBJECT
public:
    RuleControls(NumericField& hour, NumericField& minute, QWidget* parent);

    // Puts the controls into the dialog at the height `top` (insertRow).
    void insertInto(QWidget& dialog, int top);

    // No interval, no warnings days ahead (a new reminder).
    void clear();
    void load(const ItemInput& input);
    // Adds what the controls hold to what the dialog read.
    void readInto(ItemInput& input) const;

private:
    void startChanged();
    void showSetTime();
    void enableWindow();

    NumericField& m_hour;
    NumericField& m_minute;
    QCheckBox* m_interval;
    QSpinBox* m_every;
    QTimeEdit* m_start;
    QTimeEdit* m_end;
    QLineEdit* m_warnDays;
    QCheckBox* m_warnOwnTime;
    QTimeEdit* m_warnAt;
};

} // namespace kelvo
