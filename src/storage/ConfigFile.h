#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvo {

class TIniFile;

// Every setting of Config.ini, declared once with its key, its default on
// read and the range the settings dialog clamps it to when it stores it.
struct StringSetting {
    std::string_view section, key, def;
    std::string read(const TIniFile& ini) const;
    void write(TIniFile& ini, std::string_view value) const;
};
struct BoolSetting {
    std::string_view section, key;
    bool def;
    bool read(const TIniFile& ini) const;
    void write(TIniFile& ini, bool value) const;
};
struct IntSetting {
    std::string_view section, key;
    int32_t def, lo, hi;
    int32_t clamp(int32_t v) const { return v < lo ? lo : v > hi ? hi : v; }
    int32_t read(const TIniFile& ini) const;        // unclamped, as stored
    void write(TIniFile& ini, int32_t value) const; // clamped
};

namespace settings {
inline constexpr StringSetting Corporation{"Sys", "Corporation", ""};
inline constexpr StringSetting Version{"Sys", "Version", ""};
inline constexpr StringSetting User{"Sys", "User", ""};
inline constexpr BoolSetting ShowMainForm{"Sys", "ShowMainForm", true};
inline constexpr IntSetting OpenTimes{"Sys", "OpenTimes", 0, 0, INT32_MAX};
inline constexpr IntSetting TimeLate{"Sys", "TimeLate", 5, 1, 100};
inline constexpr StringSetting Music{"Sys", "Music", ""};
inline constexpr BoolSetting AutoRunCmd{"Sys", "AutoRunCmd", false};
inline constexpr BoolSetting AutoCloseShowBox{"Sys", "AutoCloseShowBox", false};
inline constexpr IntSetting AutoCloseShowBoxMin{"Sys", "AutoCloseShowBoxMin", 10, 10, 600};
inline constexpr BoolSetting TimeFormAB{"Sys", "TimeFormAB", true};
inline constexpr IntSetting TimeFormABV{"Sys", "TimeFormABV", 128, 10, 255};
inline constexpr BoolSetting ShowTimeForm{"Sys", "ShowTimeForm", false};
// The main window's size, kept from run to run; 0: the first size.
inline constexpr IntSetting FormWidth{"Sys", "FormWidth", 0, 0, 100000};
inline constexpr IntSetting FormHeight{"Sys", "FormHeight", 0, 0, 100000};
// The last minute the running program checked, "YYYY-MM-DD HH:MM".
inline constexpr StringSetting LastCheck{"Sys", "LastCheck", ""};
// The same minute in UTC, "YYYY-MM-DD HH:MM": unambiguous in the hour that
// the end of daylight saving time repeats, and compared in real time.
inline constexpr StringSetting LastCheckUtc{"Sys", "LastCheckUtc", ""};
// Whether reminders that fell due unseen are listed.
inline constexpr BoolSetting ShowMissed{"Sys", "ShowMissed", true};
// Repeat the alert's sound until it is closed ("重复播放直到关闭").
inline constexpr BoolSetting RepeatSound{"Sys", "RepeatSound", false};
// Remind through the desktop's notifications instead of the popup ("用系统通知提醒").
inline constexpr BoolSetting NotifyAlerts{"Sys", "NotifyAlerts", false};
// The user was told once that without a tray the menu entry brings the window up.
inline constexpr BoolSetting ToldNoTray{"Sys", "ToldNoTray", false};
// The sync account (CalDAV): the server's address as the user gave it, the
// user, the calendar's path on the server, whether it answers the
// sync-collection report, and the SHA-256 fingerprint of a certificate the
// user chose to trust. The password is kept in the desktop's secret store,
// never here. No address: no account, and the sync module is never loaded.
inline constexpr StringSetting SyncUrl{"Sync", "Url", ""};
inline constexpr StringSetting SyncUser{"Sync", "User", ""};
inline constexpr StringSetting SyncCalendar{"Sync", "Calendar", ""};
inline constexpr BoolSetting SyncCollection{"Sync", "SyncCollection", true};
inline constexpr StringSetting SyncCertificate{"Sync", "TrustedCertificate", ""};
// The last year whose missing holiday arrangement the tray told of; 0: none.
inline constexpr IntSetting ToldMissingHolidays{"Sys", "ToldMissingHolidays", 0, 0, 9999};
} // namespace settings

// Sections of Config.ini that hold a window's last position.
namespace positions {
inline constexpr std::string_view Main = "Sys";
inline constexpr std::string_view NewItem = "NewItem";
inline constexpr std::string_view View = "View";
inline constexpr std::string_view Edit = "Edit";
inline constexpr std::string_view Setting = "Setting";
inline constexpr std::string_view ShowMsg = "ShowMsg";
inline constexpr std::string_view TimeForm = "TimeForm";
} // namespace positions

struct WindowPos {
    int32_t left = 0;
    int32_t top = 0;
    bool operator==(const WindowPos&) const = default;
};
WindowPos readWindowPos(const TIniFile& config, std::string_view section);
void writeWindowPos(TIniFile& config, std::string_view section, WindowPos pos);

struct Size {
    int32_t width = 0;
    int32_t height = 0;
};
// Outer sizes of the windows that get a centred first position.
struct FirstRunSizes {
    Size screen, main, newItem, view, setting, edit;
};
// Writes the settings of a first start (the file did not exist) and stores
// them: no company, the user's own name from the account.
void writeFirstRunConfig(TIniFile& config, const FirstRunSizes& sizes);
// Writes the centred first positions of the windows and stores them.
void writeFirstRunPositions(TIniFile& config, const FirstRunSizes& sizes);

} // namespace kelvo
