#include "widgets/Beep.h"

#include <QApplication>

namespace kelvo {

namespace {
std::function<void()>& beepHandler() {
    static std::function<void()> handler = [] { QApplication::beep(); };
    return handler;
}
} // namespace

void kitBeep() {
    beepHandler()();
}

void setKitBeep(std::function<void()> beep) {
    beepHandler() = std::move(beep);
}

} // namespace kelvo
