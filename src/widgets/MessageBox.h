#pragma once

#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace kelvo {

// The one way the windows ask questions and show messages: modal boxes
// with the platform's standard buttons.
class MessageBox {
public:
    enum Icon { NoIcon, Information, Question, Warning, Critical };
    enum Button { Ok = 1, Yes = 2, No = 4, Cancel = 8 };

    // Yes / No with the question symbol; returns the button pressed (No when
    // the box is closed otherwise).
    static Button question(QWidget* parent, const QString& caption, const QString& text,
                           Button defaultButton);
    static void information(QWidget* parent, const QString& caption, const QString& text);
    static void warning(QWidget* parent, const QString& caption, const QString& text);
    static void critical(QWidget* parent, const QString& caption, const QString& text);
    // A message with an OK button and no symbol.
    static void plain(QWidget* parent, const QString& caption, const QString& text);

    // A caption of the box's own for one of its buttons.
    struct ButtonText {
        Button button;
        QString text;
    };
    // Any box: buttons is an or-combination of Button values, shown with the
    // platform's captions unless `texts` names others. Returns the button
    // pressed; closing the box otherwise answers its escape button (Cancel,
    // else No, else Ok).
    static Button ask(QWidget* parent, Icon icon, const QString& caption, const QString& text,
                      int buttons, Button defaultButton, const std::vector<ButtonText>& texts = {});

    // Runs a handler: the one place where a window's command is told of a
    // UserError (a file that could not be written or read, a calendar that
    // is refused). It ends the handler with a critical box carrying the
    // error text and the application title, and the program goes on.
    static void reportingErrors(QWidget* parent, const std::function<void()>& handler);

    // Test hook: the next box is not shown; it returns this answer at once.
    static void setNextAnswer(Button answer);
    // Test hook: what the last box asked or said, shown or answered.
    struct Record {
        Icon icon = NoIcon;
        QString caption;
        QString text;
        int buttons = Ok;
        Button defaultButton = Ok;
        std::vector<ButtonText> texts;
    };
    static const Record& lastBox();
    static int boxCount();
};

} // namespace kelvo
