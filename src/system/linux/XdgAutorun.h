#pragma once

#include "system/Autorun.h"

namespace kelvo {

// Log-on entries as freedesktop autostart files: the entry NAME is the
// desktop entry NAME.desktop in $XDG_CONFIG_HOME/autostart (by default
// ~/.config/autostart), and the command it runs is its Exec key. An entry
// with Hidden=true or X-GNOME-Autostart-enabled=false (switched off in the
// desktop's own settings) counts as none.
class XdgAutorun final : public Autorun {
public:
    QStringList read(const QString& name) override;
    void write(const QString& name, const QStringList& command) override;
    void remove(const QString& name) override;

    // The folder of the entries, as the environment gives it now.
    static QString directory();
};

// The Exec value that runs the command: each argument quoted as a desktop
// entry argument when it holds a blank or another reserved character, with
// "%" doubled, and the value's own escapes applied.
QString desktopExecValue(const QStringList& command);

// The command of an Exec value, undoing desktopExecValue(); field codes
// such as %U are left out; empty when the value holds no program or a quote
// is not closed.
QStringList desktopExecCommand(const QString& value);

} // namespace kelvo
