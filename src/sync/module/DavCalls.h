#pragma once

#include "sync/SyncModule.h"
#include "sync/module/DavClient.h"

#include <string>
#include <vector>

// The CalDAV calls of the sync module's table, over one client.
namespace kelvo::dav {

DavResult discover(Client& client, std::string& home, std::vector<DavCalendar>& calendars);
DavResult makeCalendar(Client& client, const std::string& home, const std::string& name,
                       std::string& href);
DavResult changes(Client& client, const std::string& calendar, const std::string& token,
                  DavChanges& changes);
DavResult list(Client& client, const std::string& calendar, std::vector<DavObject>& objects);
DavResult fetch(Client& client, const std::string& calendar, const std::vector<std::string>& hrefs,
                std::vector<DavObject>& objects);
DavResult put(Client& client, std::vector<DavPut>& puts);
DavResult remove(Client& client, const std::string& href, const std::string& ifMatch,
                 int32_t& status);

} // namespace kelvo::dav
