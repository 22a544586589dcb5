#include "widgets/MessageBox.h"

#include "storage/IniFile.h"
#include "storage/WriteErrorText.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QMessageBox>

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
    QMessageBox box(qtIcon(icon), caption, text, qtButtons(buttons), parent);
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
    } catch (const IniWriteError& e) {
        critical(parent, QGuiApplication::applicationDisplayName(),
                 QString::fromStdString(writeErrorText(e)));
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
