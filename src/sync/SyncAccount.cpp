#include "sync/SyncAccount.h"

#include "core/Module.h"
#include "storage/ConfigFile.h"
#include "storage/IniFile.h"

#include <cstdlib>

namespace kelvo {
SyncSettings readSyncSettings(const TIniFile& config) {
    return {settings::SyncUrl.read(config), settings::SyncUser.read(config),
            settings::SyncCalendar.read(config), settings::SyncCertificate.read(config),
            settings::SyncCollection.read(config)};
}

void writeSyncSettings(TIniFile& config, const SyncSettings& account) {
    config.changeLocked([&] {
        settings::SyncUrl.write(config, account.url);
        settings::SyncUser.write(config, account.user);
        settings::SyncCalendar.write(config, account.calendar);
        settings::SyncCertificate.write(config, account.certificate);
        settings::SyncCollection.write(config, account.syncCollection);
    });
}

const SyncModuleApi& syncModule() {
    // Loaded once per process, whichever thread asks first.
    static const LoadedModule loaded =
        loadProgramModule("同步模块", kSyncModuleFile, kSyncModuleEntry, kSyncModuleVersion);
    if (!loaded.table)
        throw SyncError(DavFailure::None, loaded.errors);
    return *static_cast<const SyncModuleApi*>(loaded.table);
}

std::string passwordKey(const SyncSettings& account) {
    return account.user + '@' + account.url;
}

std::string accountPassword(const SyncSettings& account, std::string& error) {
    if (const char* given = std::getenv("KELVO_SYNC_PASSWORD"))
        return given;
    std::string password;
    if (!syncModule().readPassword(passwordKey(account), password, error))
        return {};
    return password;
}

DavAccount davAccount(const SyncSettings& account, const std::string& password) {
    DavAccount dav{account.url, account.user, password, {}, 30'000};
    if (!account.certificate.empty())
        dav.trustedCertificates.push_back(account.certificate);
    return dav;
}

ModuleServer::ModuleServer(const DavAccount& account, std::string calendar, bool syncCollection)
    : m_api(syncModule()), m_session(m_api.open(account)), m_calendar(std::move(calendar)),
      m_syncCollection(syncCollection) {
    if (!m_session)
        throw SyncError(DavFailure::Network, "无法建立与同步服务器的连接");
}

ModuleServer::~ModuleServer() {
    m_api.close(m_session);
}

DavResult ModuleServer::changes(const std::string& token, DavChanges& changes) {
    return m_api.changes(m_session, m_calendar, token, changes);
}

DavResult ModuleServer::list(std::vector<DavObject>& objects) {
    return m_api.list(m_session, m_calendar, objects);
}

DavResult ModuleServer::fetch(const std::vector<std::string>& hrefs,
                              std::vector<DavObject>& objects) {
    return m_api.fetch(m_session, m_calendar, hrefs, objects);
}

DavResult ModuleServer::put(std::vector<DavPut>& puts) {
    return m_api.put(m_session, puts);
}

DavResult ModuleServer::remove(const std::string& href, const std::string& ifMatch,
                               int32_t& status) {
    return m_api.remove(m_session, href, ifMatch, status);
}

} // namespace kelvo
