#pragma once

#include "storage/Identity.h"

#include <QChar>
#include <QString>

#include <string_view>

namespace kelvo {

// A text of the core (UTF-8) as a QString.
inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The program's name as the title of its tray and message boxes.
inline QString programTitle() {
    return toQString(identity::Program);
}

// The dialogs' key handlers drop typed signs and decimal points.
inline void dropSignOrPoint(QChar& key) {
    if (key == u'+' || key == u'-' || key == u'.')
        key = QChar();
}

} // namespace kelvo
