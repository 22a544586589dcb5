#include "alerts/AlertChoice.h"

#include "storage/DataFile.h"

namespace kelvo {

AlertKind chooseAlert(const AlertCircumstances& c) {
    const bool wanted = c.userChoseNotifications || !c.popupStaysOnTop;
    if (!wanted || !c.notificationService || c.message == kShutdownMarker)
        return AlertKind::Popup;
    return AlertKind::Notification;
}

} // namespace kelvo
