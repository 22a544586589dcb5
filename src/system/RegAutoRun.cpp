#include "system/RegAutoRun.h"

#include "system/Autorun.h"

namespace kelvo {

AutorunError AutorunError::failedToSet(const QString& name) {
    return AutorunError("Failed to set data for '" + name.toStdString() + "'");
}

AutorunError AutorunError::invalidType(const QString& name) {
    return AutorunError("Invalid data type for '" + name.toStdString() + "'");
}

StartupAutorun startupAutorunStep(bool firstRun, const QStringList& stored,
                                  const QStringList& self) {
    if (firstRun)
        return stored.isEmpty() ? StartupAutorun::AskToRegister : StartupAutorun::Nothing;
    if (stored.isEmpty())
        return StartupAutorun::Nothing;
    return stored == self ? StartupAutorun::Registered : StartupAutorun::AskToCorrect;
}

} // namespace kelvo
