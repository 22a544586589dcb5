#include "widgets/NumericField.h"

#include "widgets/Beep.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace kelvo {

NumericField::NumericField(QWidget* parent) : QAbstractSpinBox(parent) {
    setValue(m_lower);
}

void NumericField::setRange(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
}

int NumericField::value() const {
    bool ok = false;
    const int v = text().toInt(&ok, 10);
    return ok ? v : m_lower;
}

int NumericField::clamped(int value) const {
    if (m_lower == m_upper)
        return value;
    return value < m_lower ? m_lower : value > m_upper ? m_upper : value;
}

void NumericField::setValue(int value) {
    lineEdit()->setText(QString::number(clamped(value)));
}

void NumericField::setText(const QString& text) {
    lineEdit()->setText(text);
}

void NumericField::stepBy(int steps) {
    const qint64 next = qint64(value()) + steps;
    setValue(int(qBound(qint64(INT_MIN), next, qint64(INT_MAX))));
    selectAll();
}

QAbstractSpinBox::StepEnabled NumericField::stepEnabled() const {
    if (m_lower == m_upper)
        return StepUpEnabled | StepDownEnabled;
    StepEnabled e = StepNone;
    if (value() < m_upper)
        e |= StepUpEnabled;
    if (value() > m_lower)
        e |= StepDownEnabled;
    return e;
}

QValidator::State NumericField::validate(QString&, int&) const {
    // Typing is filtered key by key; whatever text results stands until the
    // field loses the focus.
    return QValidator::Acceptable;
}

void NumericField::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (text.size() != 1) {
        QAbstractSpinBox::keyPressEvent(event);
        return;
    }
    QChar key = text.at(0);
    emit keyPress(key);
    if (key.isNull()) {
        event->accept();
        return;
    }
    const bool allowed = (key >= u'0' && key <= u'9') || key == u'+' || key == u'-' ||
                         key == u'.' || (key.category() == QChar::Other_Control && key != u'\r');
    if (!allowed) {
        kitBeep();
        event->accept();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void NumericField::focusOutEvent(QFocusEvent* event) {
    setValue(value());
    QAbstractSpinBox::focusOutEvent(event);
}

} // namespace kelvo
