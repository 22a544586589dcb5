#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace kelvo {

// A step that failed in a way the user must be told of: the file it was
// about (empty when none) and the whole text for the user, in Chinese, which
// what() gives. The files, the exchange and the calendar throw it (or
// storage's IniWriteError, one of its kind); each entry point catches it in
// one place: a window's handler in MessageBox::reportingErrors (an error box
// with the application title), kelvoctl in its run (the text on stderr,
// exit status 1). Anything else thrown is unexpected and meets the last
// guard around the event loop.
class UserError : public std::runtime_error {
public:
    UserError(std::string path, const std::string& text)
        : std::runtime_error(text), m_path(std::move(path)) {}

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace kelvo
