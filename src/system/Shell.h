#pragma once

#include <QString>

namespace kelvo {

// Starting other programs.
class Shell {
public:
    virtual ~Shell() = default;
    // Runs a command line: the program and its arguments, split as a
    // command-line runner does, started directly (never through a shell).
    // Whether it started is not reported.
    virtual void runCommandLine(const QString& commandLine) = 0;
    // Opens a file or folder (an absolute path) or an address with a scheme
    // with the program the desktop associates with it. False when the
    // desktop has no such program or it could not be started.
    virtual bool openDocument(const QString& target) = 0;
};

} // namespace kelvo
