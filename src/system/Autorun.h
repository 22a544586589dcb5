#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>

namespace kelvo {

// A log-on entry could not be stored or read.
class AutorunError : public std::runtime_error {
public:
    // "Failed to set data for '<name>'": the entry could not be stored;
    // `reason` says which file and why, in the user's language.
    static AutorunError failedToSet(const QString& name, const QString& reason);
    // "Invalid data type for '<name>'": the entry holds no path.
    static AutorunError invalidType(const QString& name);

    // What a window shows: the reason, then the error's own text.
    QString message() const;

private:
    AutorunError(const std::string& text, const QString& reason);
    QString m_reason;
};

// The named entries that make the system start programs at the user's
// log-on. Each entry holds the command it runs: the program's full path and
// its arguments.
class Autorun {
public:
    virtual ~Autorun() = default;
    // The command the entry runs; empty when there is no such entry or the
    // user switched it off.
    virtual QStringList read(const QString& name) = 0;
    // Creates the entry or replaces it; throws AutorunError when it cannot.
    virtual void write(const QString& name, const QStringList& command) = 0;
    // Removes the entry; a missing entry is no error.
    virtual void remove(const QString& name) = 0;
};

// The log-on entries of the system the program was built for.
std::unique_ptr<Autorun> makeSystemAutorun();

} // namespace kelvo
