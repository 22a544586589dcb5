#pragma once

#include <QString>
#include <QStringList>

namespace kelvo {

// The name of the program's log-on entry.
inline const QString kAutorunName = QStringLiteral("Kelvo1.00");

// What the start-up check does about the log-on entry.
enum class StartupAutorun {
    Nothing,       // ask nothing, leave R1 unticked
    AskToRegister, // first start without an entry: offer to register
    AskToCorrect,  // the entry starts another program: offer to correct it
    Registered,    // the entry starts this program: tick R1
};

// The decision of the start-up check. `stored` is the entry's command
// (empty when there is none), `self` the running executable's full path and
// the arguments that choose its data directory; they are compared exactly,
// so a different letter case or another directory point elsewhere. A first
// start only ever offers to register when there is no entry at all.
StartupAutorun startupAutorunStep(bool firstRun, const QStringList& stored,
                                  const QStringList& self);

} // namespace kelvo
