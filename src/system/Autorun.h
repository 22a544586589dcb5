#pragma once

#include <QString>

#include <memory>
#include <stdexcept>

namespace kelvo {

// A log-on entry could not be stored or read.
class AutorunError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    // "Failed to set data for '<name>'": the entry could not be stored.
    static AutorunError failedToSet(const QString& name);
    // "Invalid data type for '<name>'": the entry holds no path.
    static AutorunError invalidType(const QString& name);
};

// The named entries that make the system start programs at the user's
// log-on. Each entry holds the full path of the program it starts.
class Autorun {
public:
    virtual ~Autorun() = default;
    // The path the entry starts; empty when there is no such entry.
    virtual QString read(const QString& name) = 0;
    // Creates the entry or replaces it; throws AutorunError when it cannot.
    virtual void write(const QString& name, const QString& path) = 0;
    // Removes the entry; a missing entry is no error.
    virtual void remove(const QString& name) = 0;
};

// The log-on entries of the system the program was built for.
std::unique_ptr<Autorun> makeSystemAutorun();

} // namespace kelvo
