#pragma once

#include <string_view>

namespace kelvo {

// How a fired reminder reaches the user.
enum class AlertKind {
    Popup,        // the always-on-top reminder window (and the shutdown countdown)
    Notification, // a notification of the desktop
};

struct AlertCircumstances {
    std::string_view message;            // the fired message
    bool userChoseNotifications = false; // Sys/NotifyAlerts
    bool popupStaysOnTop = true;         // false on a Wayland desktop without XWayland
    bool notificationService = false;    // the desktop has one now
};

// A notification where the user chose it or no popup can stay on top, and
// the desktop can show one; never for a shutdown, whose countdown must be
// seen and can be stopped only in its own window.
AlertKind chooseAlert(const AlertCircumstances& c);

} // namespace kelvo
