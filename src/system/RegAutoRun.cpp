#include "system/RegAutoRun.h"

#include "system/Autorun.h"

namespace kelvo {

AutorunError::AutorunError(const std::string& text, const QString& reason)
    : std::runtime_error(text), m_reason(reason) {}

AutorunError AutorunError::failedToSet(const QString& name, const QString& reason) {
    return AutorunError("Failed to set data for '" + name.toStdString() + "'", reason);
}

AutorunError AutorunError::invalidType(const QString& name) {
    return AutorunError("Invalid data type for '" + name.toStdString() + "'",
                        QStringLiteral("开机运行项 %1 中没有程序的路径").arg(name));
}

QString AutorunError::message() const {
    return QStringLiteral("%1。\n\n%2").arg(m_reason, QString::fromStdString(what()));
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
