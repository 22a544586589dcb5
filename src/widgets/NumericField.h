#pragma once

#include <QAbstractSpinBox>

namespace kelvo {

// The numeric spin field of the dialogs.
//
// Its value is its text read as a decimal integer; a text that is not one
// reads as the lower limit. A value set by the program is clamped into the
// limits unless both limits are equal; text typed by the user is clamped only
// when the field loses the keyboard focus, so a store handler reached by a
// button (which never takes the focus) sees the typed value and must check
// the range itself. Typing lets through digits, "+", "-", "." and control
// characters other than Enter, and beeps at everything else; before that the
// owner's keyPress handler may drop a character by clearing it.
class NumericField : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit NumericField(QWidget* parent = nullptr);

    void setRange(int lower, int upper);
    int minimum() const { return m_lower; }
    int maximum() const { return m_upper; }

    int value() const;
    void setValue(int value);
    // Replaces the text as typing would: not clamped until the focus leaves.
    void setText(const QString& text);

    void stepBy(int steps) override;

signals:
    // A character is about to be typed; set it to QChar() to drop it.
    void keyPress(QChar& key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    QValidator::State validate(QString& input, int& pos) const override;
    StepEnabled stepEnabled() const override;

private:
    int clamped(int value) const;

    int m_lower = 0;
    int m_upper = 99;
};

} // namespace kelvo
