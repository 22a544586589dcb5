#pragma once

#include "sync/CalendarServer.h"
#include "sync/SyncModule.h"

#include <string>

namespace kelvo {

class TIniFile;

// The account as Config.ini keeps it.
struct SyncSettings {
    std::string url, user, calendar, certificate;
    bool syncCollection = true;
    bool set() const { return !url.empty() && !calendar.empty(); }
};
SyncSettings readSyncSettings(const TIniFile& config);
void writeSyncSettings(TIniFile& config, const SyncSettings& settings);

// The module, loaded at the first call; throws SyncError when it cannot be.
const SyncModuleApi& syncModule();

// The account's key in the secret store.
std::string passwordKey(const SyncSettings& settings);

// The account's password: KELVO_SYNC_PASSWORD when it is set (scripts and
// tests without a secret store), else the secret store's. Empty, with
// `error`, when there is none.
std::string accountPassword(const SyncSettings& settings, std::string& error);

DavAccount davAccount(const SyncSettings& settings, const std::string& password);

// The account's calendar through the module.
class ModuleServer final : public CalendarServer {
public:
    ModuleServer(const DavAccount& account, std::string calendar, bool syncCollection);
    ~ModuleServer() override;
    ModuleServer(const ModuleServer&) = delete;
    ModuleServer& operator=(const ModuleServer&) = delete;

    const std::string& calendar() const override { return m_calendar; }
    bool syncCollection() const override { return m_syncCollection; }
    DavResult changes(const std::string& token, DavChanges& changes) override;
    DavResult list(std::vector<DavObject>& objects) override;
    DavResult fetch(const std::vector<std::string>& hrefs,
                    std::vector<DavObject>& objects) override;
    DavResult put(std::vector<DavPut>& puts) override;
    DavResult remove(const std::string& href, const std::string& ifMatch, int32_t& status) override;

private:
    const SyncModuleApi& m_api;
    void* m_session;
    std::string m_calendar;
    bool m_syncCollection;
};

} // namespace kelvo
