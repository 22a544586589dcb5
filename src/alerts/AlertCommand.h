#pragma once

#include "reminders/CommandTag.h"
#include "reminders/ItemNumber.h"
#include "storage/Paths.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace kelvo {

class Shell;

// The command a reminder's message carries, as every kind of alert offers
// and runs it. It runs by itself only when AutoRunCmd is on and the reminder
// is the user's own or came by an import the user confirmed; running it by
// hand once confirms an imported one.
class AlertCommand {
public:
    AlertCommand(const QString& message, int32_t item, const DataPaths& paths, Shell& shell);

    bool present() const { return m_tag.has_value(); }
    // Whether it runs at once when the alert shows.
    bool runsByItself(bool autoRunCmd) const;
    // What running it does, nothing hidden: "将执行命令：…" or "将打开：…".
    QString description() const;
    // Runs it; `byHand`: the user asked for it, which confirms an imported
    // command (a write that fails throws IniWriteError, after it ran).
    void run(bool byHand);
    // Item k was deleted: the command belongs to the item's new number, or
    // to none (it runs still, and confirms nothing).
    void itemDeleted(int32_t k);

private:
    std::optional<CommandTag> m_tag;
    int32_t m_item;
    DataPaths m_paths;
    Shell& m_shell;
};

} // namespace kelvo
