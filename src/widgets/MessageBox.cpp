#include "widgets/MessageBox.h"

#include "core/UserError.h"
#include "widgets/Placement.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWindow>

#include <optional>

namespace kelvo {
namespace {

std::optional<MessageBox::Button> g_nextAnswer;
MessageBox::Record g_lastBox;
int g_boxCount = 0;

QMessageBox::Icon qtIcon(MessageBox::Icon icon) {
    switch (icon) {
    case MessageBox::Information:
        return QMessageBox::Information;
    case MessageBox::Question:
        return QMessageBox::Question;
    case MessageBox::Warning:
        return QMessageBox::Warning;
    case MessageBox::Critical:
        return QMessageBox::Critical;
    case MessageBox::NoIcon:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton qtButton(MessageBox::Button button) {
    switch (button) {
    case MessageBox::Yes:
        return QMessageBox::Yes;
    case MessageBox::No:
        return QMessageBox::No;
    case MessageBox::Cancel:
        return QMessageBox::Cancel;
    case MessageBox::Ok:
        break;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButtons qtButtons(int buttons) {
    QMessageBox::StandardButtons result;
    for (MessageBox::Button b :
         {MessageBox::Ok, MessageBox::Yes, MessageBox::No, MessageBox::Cancel})
        if (buttons & b)
            result |= qtButton(b);
    return result;
}

// Whether the owner of a box stands on the screen: not yet shown (the
// first start's questions), hidden in the tray or minimised, it does not.
bool onScreen(const QWidget* owner) {
    const QWidget* window = owner ? owner->window() : nullptr;
    return window && window->isVisible() && window->windowHandle() &&
           window->windowHandle()->isExposed();
}

// A box stands over its owner, or in the middle of the screen when the
// owner is not on it: placed there when shown, with the frame the program's
// windows have had, and once more with its own frame as soon as the window
// manager has framed it (which the first events after mapping tell).
class PlacedBox : public QMessageBox {
public:
    PlacedBox(Icon icon, const QString& caption, const QString& text, StandardButtons buttons,
              QWidget* owner)
        : QMessageBox(icon, caption, text, buttons, owner), m_centred(!onScreen(owner)),
          m_framePending(m_centred) {}

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event); // gives the box its size
        if (!m_centred)
            return;
        centreOnScreen(*this);
        // The work area may still change (a task bar that comes up after
        // the box): the box keeps to its middle.
        if (const QScreen* screen = this->screen())
            connect(screen, &QScreen::availableGeometryChanged, this, [this] { centreSoon(); });
    }
    bool event(QEvent* event) override {
        const bool handled = QMessageBox::event(event);
        if (m_framePending && isVisible() && frameGeometry() != geometry()) {
            m_framePending = false;
            centreSoon();
        } else if (m_centred && isVisible() && event->type() == QEvent::Resize) {
            centreSoon(); // laid out anew once shown
        }
        return handled;
    }

private:
    void centreSoon() {
        QMetaObject::invokeMethod(
            this, [this] { centreOnScreen(*this); }, Qt::QueuedConnection);
    }

    const bool m_centred;
    bool m_framePending;
};

MessageBox::Button escapeButton(int buttons) {
    return buttons & MessageBox::Cancel ? MessageBox::Cancel
           : buttons & MessageBox::No   ? MessageBox::No
                                        : MessageBox::Ok;
}

} // namespace

MessageBox::Button MessageBox::ask(QWidget* parent, Icon icon, const QString& caption,
                                   const QString& text, int buttons, Button defaultButton,
                                   const std::vector<ButtonText>& texts) {
    g_lastBox = {icon, caption, text, buttons, defaultButton, texts};
    ++g_boxCount;
    if (g_nextAnswer) {
        const Button answer = *g_nextAnswer;
        g_nextAnswer.reset();
        return answer;
    }
    PlacedBox box(qtIcon(icon), caption, text, qtButtons(buttons), parent);
    box.setDefaultButton(qtButton(defaultButton));
    box.setEscapeButton(qtButton(escapeButton(buttons)));
    for (const ButtonText& t : texts)
        if (QAbstractButton* button = box.button(qtButton(t.button)))
            button->setText(t.text);
    const int result = box.exec();
    for (Button b : {Ok, Yes, No, Cancel})
        if (result == qtButton(b))
            return b;
    return escapeButton(buttons);
}

MessageBox::Button MessageBox::question(QWidget* parent, const QString& caption,
                                        const QString& text, Button defaultButton) {
    return ask(parent, Question, caption, text, Yes | No, defaultButton);
}

void MessageBox::information(QWidget* parent, const QString& caption, const QString& text) {
    ask(parent, Information, caption, text, Ok, Ok);
}

void MessageBox::warning(QWidget* parent, const QString& caption, const QString& text) {
    ask(parent, Warning, caption, text, Ok, Ok);
}

void MessageBox::critical(QWidget* parent, const QString& caption, const QString& text) {
    ask(parent, Critical, caption, text, Ok, Ok);
}

void MessageBox::plain(QWidget* parent, const QString& caption, const QString& text) {
    ask(parent, NoIcon, caption, text, Ok, Ok);
}

void MessageBox::reportingErrors(QWidget* parent, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const UserError& e) {
        critical(parent, QGuiApplication::applicationDisplayName(), QString::fromUtf8(e.what()));
    }
}

void MessageBox::setNextAnswer(Button answer) {
    g_nextAnswer = answer;
}

const MessageBox::Record& MessageBox::lastBox() {
    return g_lastBox;
}

int MessageBox::boxCount() {
    return g_boxCount;
}

} // namespace kelvo
