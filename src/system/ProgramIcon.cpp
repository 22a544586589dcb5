#include "system/ProgramIcon.h"

// The icon lives in a resource of this static library, which has to be
// registered by hand; Q_INIT_RESOURCE must be used outside any namespace.
static void registerIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace kelvo {

QIcon programIcon() {
    registerIconResources();
    return QIcon(QStringLiteral(":/icons/kelvo.svg"));
}

} // namespace kelvo
