#include "system/RegAutoRun.h"

#include "system/Autorun.h"

namespace kelvo {

AutorunError::AutorunError(const QString& name)
    : std::runtime_error("Failed to set data for '" + name.toStdString() + "'") {}

StartupAutorun startupAutorunStep(bool firstRun, const QString& stored, const QString& self) {
    if (firstRun)
        return stored.isEmpty() ? StartupAutorun::AskToRegister : StartupAutorun::Nothing;
    if (stored.isEmpty())
        return StartupAutorun::Nothing;
    return stored == self ? StartupAutorun::Registered : StartupAutorun::AskToCorrect;
}

} // namespace kelvo
