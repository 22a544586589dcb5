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

// What "[cmo:" opens: an existing file or folder as its absolute path (a
// relative path is taken from `dir`), or an address with a scheme
// ("https://…", "mailto:…", "file:…") as it is; nullopt for anything else,
// which opens nothing: "report.doc" that does not exist is no address.
// Blanks around the target do not count.
std::optional<std::string> openTarget(std::string_view target, const std::string& dir);

// Splits a command line into the program and its arguments the way a
// command-line runner does: blanks separate words, double quotes group them.
std::vector<std::string> splitCommandLine(std::string_view line);

} // namespace kelvo
