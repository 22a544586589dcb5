#pragma once

#include "sync/SyncAccount.h"

#include <string>
#include <vector>

namespace kelvo {

// The calendars an account's server offers, found as RFC 6764 says.
struct FoundCalendars {
    DavResult result; // how the discovery ended
    std::string home; // the calendar home
    std::vector<DavCalendar> calendars;
};
FoundCalendars findCalendars(const SyncSettings& account, const std::string& password);

// The name of the calendar an account uses when the user names none.
inline constexpr const char* kOwnCalendarName = "Kelvo";

struct SyncSetupResult {
    SyncSettings account;      // as Config.ini now keeps it
    std::size_t found = 0;     // how many calendars the server offered
    bool madeCalendar = false; // the calendar "Kelvo" was made for it
    std::string keyringError;  // not empty: no secret store took the password
};

// Sets an account up: finds its calendars, takes the one `wanted` names
// (display name or path; empty: the one named "Kelvo", made with MKCALENDAR
// when there is none), keeps the account in the Config.ini of `dir` and the
// password in the secret store. Throws SyncError (nothing is written then).
SyncSetupResult setUpSyncAccount(const std::string& dir, SyncSettings account,
                                 const std::string& password, const std::string& wanted);

} // namespace kelvo
