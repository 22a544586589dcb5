#include "widgets/MessageBox.h"

#include "storage/IniFile.h"

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
    case MessageBox::Ok:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

MessageBox::Button MessageBox::ask(QWidget* parent, Icon icon, const QString& caption,
                                   const QString& text, Button defaultButton) {
    g_lastBox = {icon, caption, text};
    ++g_boxCount;
    if (g_nextAnswer) {
        const Button answer = *g_nextAnswer;
        g_nextAnswer.reset();
        return answer;
    }
    QMessageBox box(qtIcon(icon), caption, text, QMessageBox::NoButton, parent);
    if (icon == Question) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    box.setDefaultButton(qtButton(defaultButton));
    const int result = box.exec();
    return result == QMessageBox::Yes ? Yes : result == QMessageBox::No ? No : Ok;
}

MessageBox::Button MessageBox::question(QWidget* parent, const QString& caption,
                                        const QString& text, Button defaultButton) {
    return ask(parent, Question, caption, text, defaultButton);
}

void MessageBox::information(QWidget* parent, const QString& caption, const QString& text) {
    ask(parent, Information, caption, text, Ok);
}

void MessageBox::critical(QWidget* parent, const QString& caption, const QString& text) {
    ask(parent, Critical, caption, text, Ok);
}

void MessageBox::plain(QWidget* parent, const QString& caption, const QString& text) {
    ask(parent, NoIcon, caption, text, Ok);
}

void MessageBox::reportingErrors(QWidget* parent, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const IniWriteError& e) {
        critical(parent, QGuiApplication::applicationDisplayName(),
                 QString::fromStdString(e.what()));
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
