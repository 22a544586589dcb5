#pragma once

class QCoreApplication;
class QTranslator;

namespace kelvo {

// Loads Qt's own Chinese texts (the buttons of message boxes, the file
// dialogs; Debian's qt6-translations-l10n) into `translator` and installs it;
// false when they are not there, and Qt's texts stay English.
bool loadQtChinese(QCoreApplication& app, QTranslator& translator);

} // namespace kelvo
