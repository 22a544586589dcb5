#include "kelvoctl/SyncCommands.h"

#include "core/Clock.h"
#include "kelvoctl/Json.h"
#include "storage/IniFile.h"
#include "storage/Paths.h"
#include "sync/SyncAccount.h"
#include "sync/SyncEngine.h"
#include "sync/SyncFields.h"
#include "sync/SyncSetup.h"

#include <istream>
#include <ostream>

namespace kelvo::ctl {
namespace {

std::string passwordLine(std::istream& in) {
    std::string password;
    std::getline(in, password);
    if (!password.empty() && password.back() == '\r')
        password.pop_back();
    return password;
}

} // namespace

void setupSync(const std::string& dir, const SyncSetup& setup, std::istream& in,
               std::ostream& out) {
    const std::string password = passwordLine(in);
    const SyncSetupResult done = setUpSyncAccount(
        dir, SyncSettings{setup.url, setup.user, {}, setup.trust, true}, password, setup.calendar);
    out << "found " << done.found << " calendar(s)\n";
    if (done.madeCalendar)
        out << "made the calendar " << kOwnCalendarName << " at " << done.account.calendar << '\n';
    if (!done.keyringError.empty())
        out << "没有可用的密钥环（" << done.keyringError
            << "），密码未保存：同步时请在标准输入或环境变量 KELVO_SYNC_PASSWORD 中提供密码\n";
    out << "sync account set: " << done.account.user << " at " << done.account.url << ", calendar "
        << done.account.calendar << '\n';
}

void runSync(const std::string& dir, bool json, std::istream& in, std::ostream& out) {
    const TIniFile config(DataPaths{dir}.config());
    const SyncSettings account = readSyncSettings(config);
    if (!account.set())
        throw SyncError(DavFailure::None, "还没有设置同步帐户（kelvoctl sync --setup URL USER）");
    std::string error;
    std::string password = accountPassword(account, error);
    if (password.empty() && !error.empty()) {
        out << "没有可用的密钥环（" << error << "），请在标准输入中提供密码\n";
        password = passwordLine(in);
    }
    ModuleServer server(davAccount(account, password), account.calendar, account.syncCollection);
    const SyncReport report = syncReminders(server, dir, SystemClock().read());
    if (json) {
        out << JsonObject()
                   .number("Uploaded", report.uploaded)
                   .number("Downloaded", report.downloaded)
                   .number("RemovedHere", report.removedHere)
                   .number("RemovedThere", report.removedThere)
                   .number("DismissedHere", report.dismissedHere)
                   .number("DismissedThere", report.dismissedThere)
                   .number("Conflicts", static_cast<int64_t>(report.conflicts.size()))
                   .number("Unexpressible", static_cast<int64_t>(report.unexpressible.size()))
                   .str()
            << '\n';
    } else {
        out << "synced: " << report.uploaded << " up, " << report.downloaded << " down, "
            << report.removedHere << " deleted here, " << report.removedThere
            << " deleted on the server, " << report.dismissedHere << " dismissed here, "
            << report.dismissedThere << " dismissed on the server\n";
    }
    for (const std::string& message : report.conflicts)
        out << "冲突：" << message << "（本机的版本另存为“" << kConflictMark << "”）\n";
    for (const std::string& summary : report.unexpressible)
        out << "不能作为提醒的日程：" << summary << '\n';
}

} // namespace kelvo::ctl
