#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace kelvo {

// The one way the windows ask for a file name: a modal file-open or
// file-save dialog with one filter. Neither asks before overwriting a file
// nor requires the chosen file to exist.
class FileDialog {
public:
    enum Mode { Open, Save };

    // filterName and pattern make the filter ("文本文件", "*.txt"); a name
    // typed without an extension receives defaultSuffix ("txt").
    FileDialog(Mode mode, QString filterName, QString pattern, QString defaultSuffix);

    // Shows the dialog; the chosen path, or nullopt when the user cancels.
    std::optional<QString> execute(QWidget* parent) const;

    Mode mode() const { return m_mode; }
    // The filter as the dialog shows it: "name (pattern)".
    QString filter() const;

    // Test hook: the next dialog is not shown and answers this at once
    // (nullopt: the user cancels).
    static void setNextAnswer(std::optional<QString> fileName);
    // Test hook: the last dialog asked, shown or answered, and how many.
    static const FileDialog* lastDialog();
    static int dialogCount();

private:
    Mode m_mode;
    QString m_filterName;
    QString m_pattern;
    QString m_defaultSuffix;
};

// The file-open dialog of the sound file entries: one filter, music files.
std::optional<QString> chooseMusicFile(QWidget* parent);

} // namespace kelvo
