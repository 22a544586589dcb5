#pragma once

#include "system/Shell.h"

namespace kelvo {

// Starts programs directly and opens documents through the desktop's
// associations. No text ever passes through a shell, so shell characters in
// a reminder's command stay literal.
class QtShell : public Shell {
public:
    void runCommandLine(const QString& commandLine) override;
    bool openDocument(const QString& target) override;
};

} // namespace kelvo
