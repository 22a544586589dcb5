#pragma once

#include "system/Autorun.h"

namespace kelvo {

// Log-on entries as freedesktop autostart files: the entry NAME is the
// desktop entry NAME.desktop in $XDG_CONFIG_HOME/autostart (by default
// ~/.config/autostart), and the program it starts is the first word of its
// Exec key.
class XdgAutorun final : public Autorun {
public:
    QString read(const QString& name) override;
    void write(const QString& name, const QString& path) override;
    void remove(const QString& name) override;

    // The folder of the entries, as the environment gives it now.
    static QString directory();
};

// The Exec value that starts the program at `path`: quoted as a desktop
// entry argument when it holds a blank or another reserved character, with
// "%" doubled and the value's own escapes applied.
QString desktopExecValue(const QString& path);

// The program an Exec value starts, undoing desktopExecValue(); empty when
// the value holds no program.
QString desktopExecProgram(const QString& value);

} // namespace kelvo
