#include "storage/WriteErrorText.h"

#include "core/SystemError.h"

namespace kelvo {

std::string writeErrorText(const IniWriteError& e) {
    if (e.reason() != IniWriteError::Reason::Unwritable)
        return e.what(); // already the user's text
    return cannotWriteText(e.path(), e.systemError()) + "。\n\n" + e.what();
}

} // namespace kelvo
