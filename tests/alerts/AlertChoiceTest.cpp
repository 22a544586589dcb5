#include "alerts/AlertChoice.h"

#include <gtest/gtest.h>

using namespace kelvo;

TEST(AlertChoice, NotificationWhereChosenOrNoPopupCanStayOnTop) {
    EXPECT_EQ(chooseAlert({"开会", false, true, true}), AlertKind::Popup);
    EXPECT_EQ(chooseAlert({"开会", true, true, true}), AlertKind::Notification);
    EXPECT_EQ(chooseAlert({"开会", false, false, true}), AlertKind::Notification);
}

TEST(AlertChoice, PopupWithoutANotificationServiceAndForEveryShutdown) {
    EXPECT_EQ(chooseAlert({"开会", true, false, false}), AlertKind::Popup);
    EXPECT_EQ(chooseAlert({"AutoShutDownWindows", true, false, true}), AlertKind::Popup);
    // Only the exact marker shuts down; its advance warning is a message like any other.
    EXPECT_EQ(chooseAlert({"提前提醒：AutoShutDownWindows", true, true, true}),
              AlertKind::Notification);
}
