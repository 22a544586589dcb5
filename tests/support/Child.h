#pragma once

#include <QString>
#include <QWidget>

namespace kelvo::test {

// The control of that object name in the window; the test program ends
// when there is none.
template <class T> T* child(QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

} // namespace kelvo::test
