#pragma once

#include <QString>

namespace kelvo {

// Starting other programs. Results are not reported.
class Shell {
public:
    virtual ~Shell() = default;
    // Runs a command line: the program and its arguments, split as a
    // command-line runner does, started directly (never through a shell).
    virtual void runCommandLine(const QString& commandLine) = 0;
    // Opens a file, folder or address with its associated program.
    virtual void openDocument(const QString& target) = 0;
};

} // namespace kelvo
