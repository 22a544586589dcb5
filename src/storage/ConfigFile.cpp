#include "storage/ConfigFile.h"

#include "core/Environment.h"
#include "storage/Identity.h"
#include "storage/IniFile.h"

namespace kelvo {
namespace {

constexpr std::string_view kLeft = "FormLeft";
constexpr std::string_view kTop = "FormTop";
// The popup's first position is centred on this fixed size, not its own.
constexpr Size kShowMsgSize{376, 376};

// Centred on the screen; the division truncates toward zero, so a window
// larger than the screen gets a negative position.
WindowPos centred(const Size& screen, const Size& window) {
    return WindowPos{(screen.width - window.width) / 2, (screen.height - window.height) / 2};
}

} // namespace

std::string StringSetting::read(const TIniFile& ini) const {
    return ini.ReadString(section, key, def);
}

void StringSetting::write(TIniFile& ini, std::string_view value) const {
    ini.WriteString(section, key, value);
}

bool BoolSetting::read(const TIniFile& ini) const {
    return ini.ReadBool(section, key, def);
}

void BoolSetting::write(TIniFile& ini, bool value) const {
    ini.WriteBool(section, key, value);
}

int32_t IntSetting::read(const TIniFile& ini) const {
    return ini.ReadInteger(section, key, def);
}

void IntSetting::write(TIniFile& ini, int32_t value) const {
    ini.WriteInteger(section, key, clamp(value));
}

WindowPos readWindowPos(const TIniFile& config, std::string_view section) {
    return WindowPos{config.ReadInteger(section, kLeft, 0), config.ReadInteger(section, kTop, 0)};
}

void writeWindowPos(TIniFile& config, std::string_view section, WindowPos pos) {
    config.WriteInteger(section, kLeft, pos.left);
    config.WriteInteger(section, kTop, pos.top);
}

void writeFirstRunConfig(TIniFile& config, const FirstRunSizes& sizes) {
    settings::Corporation.write(config, "");
    settings::Version.write(config, identity::Version);
    settings::User.write(config, accountName());
    settings::ShowMainForm.write(config, false);
    writeWindowPos(config, positions::Main, centred(sizes.screen, sizes.main));
    settings::OpenTimes.write(config, 0);
    writeFirstRunPositions(config, sizes);
}

void writeFirstRunPositions(TIniFile& config, const FirstRunSizes& sizes) {
    writeWindowPos(config, positions::Main, centred(sizes.screen, sizes.main));
    writeWindowPos(config, positions::NewItem, centred(sizes.screen, sizes.newItem));
    writeWindowPos(config, positions::View, centred(sizes.screen, sizes.view));
    writeWindowPos(config, positions::Setting, centred(sizes.screen, sizes.setting));
    writeWindowPos(config, positions::ShowMsg, centred(sizes.screen, kShowMsgSize));
    writeWindowPos(config, positions::Edit, centred(sizes.screen, sizes.edit));
    config.UpdateFile();
}

} // namespace kelvo
