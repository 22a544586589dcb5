#pragma once

#include <iosfwd>
#include <string>

namespace kelvo::ctl {

struct SyncSetup {
    std::string url, user;
    std::string calendar; // the display name or path of an existing calendar; empty: "Kelvo"
    std::string trust;    // the SHA-256 fingerprint of a certificate to trust
};

// sync --setup: finds the account's calendars (password from `in`, one
// line), takes the named one or the one named Kelvo, else makes "Kelvo",
// and keeps the account in Config.ini and the password in the secret store.
void setupSync(const std::string& dir, const SyncSetup& setup, std::istream& in, std::ostream& out);

// sync: one sync of the account's calendar, and what it moved.
void runSync(const std::string& dir, bool json, std::istream& in, std::ostream& out);

} // namespace kelvo::ctl
