#pragma once

#include "core/UserError.h"
#include "sync/SyncModule.h"

#include <string>
#include <vector>

namespace kelvo {

// The one calendar of the account on its server, as sync uses it: the sync
// module's calls bound to the calendar (ModuleServer), or a double in tests.
class CalendarServer {
public:
    virtual ~CalendarServer() = default;
    virtual const std::string& calendar() const = 0; // its path, ending in '/'
    virtual bool syncCollection() const = 0;         // whether changes() may be asked
    virtual DavResult changes(const std::string& token, DavChanges& changes) = 0;
    virtual DavResult list(std::vector<DavObject>& objects) = 0;
    virtual DavResult fetch(const std::vector<std::string>& hrefs,
                            std::vector<DavObject>& objects) = 0;
    virtual DavResult put(std::vector<DavPut>& puts) = 0;
    virtual DavResult remove(const std::string& href, const std::string& ifMatch,
                             int32_t& status) = 0;
};

// A sync that could not go on; the message says why, in Chinese, for the
// user. Nothing stored was lost: what was done so far is kept.
class SyncError : public UserError {
public:
    explicit SyncError(const DavResult& result);
    SyncError(DavFailure failure, const std::string& message);
    DavFailure failure() const { return m_failure; }

private:
    DavFailure m_failure;
};

// The user's text of a failed request.
std::string failureText(const DavResult& result);

} // namespace kelvo
