#include "widgets/GuardedApplication.h"

#include "widgets/MessageBox.h"

#include <exception>

namespace kelvo {
namespace {

void showUncaught(const QString& text) {
    MessageBox::critical(QApplication::activeWindow(), QGuiApplication::applicationDisplayName(),
                         text);
}

} // namespace

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) { // a UserError that no handler caught, or worse
        showUncaught(QString::fromUtf8(e.what()));
    } catch (...) {
        showUncaught(QStringLiteral("发生了一个未知的错误，这次的操作没有完成。"));
    }
    return false;
}

} // namespace kelvo
