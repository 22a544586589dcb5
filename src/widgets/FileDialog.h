#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

class QWidget;

namespace kelvo {

// The one way the windows ask for a file name: a modal file-open or
// file-save dialog with one or more filters. Neither asks before
// overwriting a file nor requires the chosen file to exist.
class FileDialog {
public:
    enum Mode { Open, Save };

    // name and pattern make the filter ("文本文件", "*.txt"); a name typed
    // without an extension while it is chosen receives suffix ("txt").
    struct Filter {
        QString name, pattern, suffix;
    };

    FileDialog(Mode mode, QString filterName, QString pattern, QString defaultSuffix);
    // The first filter is chosen when the dialog opens.
    FileDialog(Mode mode, QList<Filter> filters);

    // The chosen path and the index of the filter chosen with it.
    struct Choice {
        QString path;
        int filter = 0;
    };
    // Shows the dialog; the choice, or nullopt when the user cancels.
    std::optional<Choice> choose(QWidget* parent) const;
    // The same, the chosen path only.
    std::optional<QString> execute(QWidget* parent) const;

    // The folder the dialog opens in; empty: Qt's choice.
    void setDirectory(QString directory) { m_directory = std::move(directory); }
    const QString& directory() const { return m_directory; }

    Mode mode() const { return m_mode; }
    // The filters as the dialog shows them: "name (pattern)", separated by ";;".
    QString filter() const;

    // Test hook: the next dialog is not shown and answers this at once, with
    // the filter of that index chosen (nullopt: the user cancels).
    static void setNextAnswer(std::optional<QString> fileName, int filter = 0);
    // Test hook: the last dialog asked, shown or answered, and how many.
    static const FileDialog* lastDialog();
    static int dialogCount();

private:
    QStringList filterTexts() const;

    Mode m_mode;
    QList<Filter> m_filters;
    QString m_directory;
};

// The file-open dialog of the sound file entries: one filter, music files,
// opened in the user's music folder (XDG_MUSIC_DIR), else the home folder.
std::optional<QString> chooseMusicFile(QWidget* parent);

} // namespace kelvo
