#include "kelvoctl/SyncCommands.h"

#include "core/Clock.h"
#include "kelvoctl/Json.h"
#include "storage/IniFile.h"
#include "storage/Paths.h"
#include "sync/SyncAccount.h"
#include "sync/SyncEngine.h"
#include "sync/SyncFields.h"

#include <istream>
#include <memory>
#include <ostream>

namespace kelvo::ctl {
namespace {

// The module's session, closed at the end.
struct Session {
    const SyncModuleApi& api;
    void* handle;
    ~Session() { api.close(handle); }
};

std::string passwordLine(std::istream& in) {
    std::string password;
    std::getline(in, password);
    if (!password.empty() && password.back() == '\r')
        password.pop_back();
    return password;
}

std::string chosenCalendar(const SyncModuleApi& api, void* session, const std::string& home,
                           const std::vector<DavCalendar>& calendars, const std::string& wanted,
                           bool& syncCollection, std::ostream& out) {
    const std::string name = wanted.empty() ? "Kelvo" : wanted;
    for (const DavCalendar& calendar : calendars) {
        if (calendar.name == name || calendar.href == name) {
            syncCollection = calendar.syncCollection;
            return calendar.href;
        }
    }
    if (!wanted.empty())
        throw SyncError(DavFailure::None, "服务器上没有日历“" + wanted + "”");
    std::string href;
    const DavResult made = api.makeCalendar(session, home, name, href);
    if (!made.ok())
        throw SyncError(made);
    out << "made the calendar " << name << " at " << href << '\n';
    syncCollection = true;
    return href;
}

} // namespace

void setupSync(const std::string& dir, const SyncSetup& setup, std::istream& in,
               std::ostream& out) {
    SyncSettings account{setup.url, setup.user, {}, setup.trust, true};
    const std::string password = passwordLine(in);
    const SyncModuleApi& api = syncModule();
    Session session{api, api.open(davAccount(account, password))};
    if (!session.handle)
        throw SyncError(DavFailure::Network, "无法建立与同步服务器的连接");
    std::string home;
    std::vector<DavCalendar> calendars;
    const DavResult found = api.discover(session.handle, home, calendars);
    if (!found.ok())
        throw SyncError(found);
    out << "found " << calendars.size() << " calendar(s)\n";
    account.calendar = chosenCalendar(api, session.handle, home, calendars, setup.calendar,
                                      account.syncCollection, out);
    TIniFile config(DataPaths{dir}.config());
    writeSyncSettings(config, account);
    std::string error;
    if (!api.storePassword(passwordKey(account), password, error))
        out << "没有可用的密钥环（" << error
            << "），密码未保存：同步时请在标准输入或环境变量 KELVO_SYNC_PASSWORD 中提供密码\n";
    out << "sync account set: " << account.user << " at " << account.url << ", calendar "
        << account.calendar << '\n';
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
                   .number("Conflicts", static_cast<int64_t>(report.conflicts.size()))
                   .number("Unexpressible", static_cast<int64_t>(report.unexpressible.size()))
                   .str()
            << '\n';
    } else {
        out << "synced: " << report.uploaded << " up, " << report.downloaded << " down, "
            << report.removedHere << " deleted here, " << report.removedThere
            << " deleted on the server\n";
    }
    for (const std::string& message : report.conflicts)
        out << "冲突：" << message << "（本机的版本另存为“" << kConflictMark << "”）\n";
    for (const std::string& summary : report.unexpressible)
        out << "不能作为提醒的日程：" << summary << '\n';
}

} // namespace kelvo::ctl
