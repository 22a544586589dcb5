#pragma once

#include "system/Power.h"

namespace kelvo {

// Power-off through systemd-logind over D-Bus, falling back to
// `systemctl poweroff`.
class LinuxPower final : public Power {
public:
    void powerOff() override;
};

} // namespace kelvo
