#include "sync/SyncSetup.h"

#include "storage/IniFile.h"
#include "storage/Paths.h"

namespace kelvo {
namespace {

// A connection to the account's server, closed at the end.
class Session {
public:
    explicit Session(const DavAccount& account)
        : m_api(syncModule()), m_handle(m_api.open(account)) {
        if (!m_handle)
            throw SyncError(DavFailure::Network, "无法建立与同步服务器的连接");
    }
    ~Session() { m_api.close(m_handle); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const SyncModuleApi& api() const { return m_api; }
    void* handle() const { return m_handle; }

private:
    const SyncModuleApi& m_api;
    void* m_handle;
};

FoundCalendars discover(const Session& session) {
    FoundCalendars found;
    found.result = session.api().discover(session.handle(), found.home, found.calendars);
    return found;
}

// Puts the wanted calendar into `account`; true when it had to be made.
bool takeCalendar(const Session& session, const FoundCalendars& found, const std::string& wanted,
                  SyncSettings& account) {
    const std::string name = wanted.empty() ? kOwnCalendarName : wanted;
    for (const DavCalendar& calendar : found.calendars) {
        if (calendar.name == name || calendar.href == name) {
            account.calendar = calendar.href;
            account.syncCollection = calendar.syncCollection;
            return false;
        }
    }
    if (!wanted.empty())
        throw SyncError(DavFailure::None, "服务器上没有日历“" + wanted + "”");
    const DavResult made =
        session.api().makeCalendar(session.handle(), found.home, name, account.calendar);
    if (!made.ok())
        throw SyncError(made);
    account.syncCollection = true;
    return true;
}

} // namespace

FoundCalendars findCalendars(const SyncSettings& account, const std::string& password) {
    return discover(Session(davAccount(account, password)));
}

SyncSetupResult setUpSyncAccount(const std::string& dir, SyncSettings account,
                                 const std::string& password, const std::string& wanted) {
    const Session session(davAccount(account, password));
    const FoundCalendars found = discover(session);
    if (!found.result.ok())
        throw SyncError(found.result);
    SyncSetupResult result;
    result.found = found.calendars.size();
    result.madeCalendar = takeCalendar(session, found, wanted, account);
    TIniFile config(DataPaths{dir}.config());
    writeSyncSettings(config, account);
    if (!session.api().storePassword(passwordKey(account), password, result.keyringError) &&
        result.keyringError.empty())
        result.keyringError = "密钥环拒绝了密码";
    result.account = account;
    return result;
}

} // namespace kelvo
