#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

enum class CommandKind {
    CommandLine, // "[cmd:": run as a command line
    ShellOpen,   // "[cmo:": open with the associated program
};

struct CommandTag {
    std::string command;
    CommandKind kind = CommandKind::CommandLine;
    bool operator==(const CommandTag&) const = default;
};

// The command a reminder message carries, if any.
std::optional<CommandTag> extractCommand(std::string_view message);

// Splits a command line into the program and its arguments the way a
// command-line runner does: blanks separate words, double quotes group them.
std::vector<std::string> splitCommandLine(std::string_view line);

} // namespace kelvo
