#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelvo {

// The sync module kelvo_sync.so speaks HTTP, WebDAV and CalDAV (RFC 4791,
// RFC 6578, RFC 6764) with Qt Network and keeps passwords in the desktop's
// secret store (QtKeychain). It is loaded only when an account is set. Only
// plain C++ data crosses; nothing is thrown across.

struct DavAccount {
    std::string url; // the server as the user gave it
    std::string user, password;
    // SHA-256 fingerprints (hex, lower case) of certificates the user trusts
    // although no authority vouches for them.
    std::vector<std::string> trustedCertificates;
    int32_t timeoutMs = 30'000;
};

// How a request ended.
enum class DavFailure {
    None,
    Network,     // no connection, the server did not answer
    Timeout,     // no answer in time
    Certificate, // a certificate no authority vouches for (fingerprint told)
    Password,    // 401: the user or password is wrong
    NotCalDav,   // the address is no CalDAV server
    Quota,       // 507: the server is full
    Server,      // any other answer that is not a success
};

struct DavResult {
    DavFailure failure = DavFailure::None;
    int32_t status = 0;      // the HTTP status; 0 without an answer
    std::string error;       // what went wrong, for the log
    std::string certificate; // the SHA-256 fingerprint of an untrusted certificate
    bool ok() const { return failure == DavFailure::None; }
};

struct DavCalendar {
    std::string href;            // the collection's path on the server, ending in '/'
    std::string name;            // its display name
    bool syncCollection = false; // whether it answers the sync-collection report
    bool events = true;          // whether it holds VEVENTs
};

// One calendar object: its path, its ETag and (when fetched) its text.
struct DavObject {
    std::string href, etag, data;
};

struct DavChanges {
    std::string token;                // the new sync-token
    std::vector<DavObject> changed;   // new or changed objects, without text
    std::vector<std::string> removed; // paths of removed objects
    bool tokenRefused = false;        // the token is no longer valid: start again from none
};

// One upload: `ifMatch` is the ETag the object must still have, empty for a
// new object (If-None-Match: *). `status` and `etag` are the answer's.
struct DavPut {
    std::string href, data, ifMatch;
    int32_t status = 0;
    std::string etag;
};

struct SyncModuleApi {
    int32_t version;
    // A connection to the account's server; closed by `close`.
    void* (*open)(const DavAccount& account);
    void (*close)(void* session);
    // Discovery (RFC 6764): the calendar home and its calendars.
    DavResult (*discover)(void* session, std::string& home, std::vector<DavCalendar>& calendars);
    // MKCALENDAR of a new calendar `name` in the home; `href` the new one's path.
    DavResult (*makeCalendar)(void* session, const std::string& home, const std::string& name,
                              std::string& href);
    // The objects changed since the token (empty: every object).
    DavResult (*changes)(void* session, const std::string& calendar, const std::string& token,
                         DavChanges& changes);
    // Every object of the calendar with its ETag (PROPFIND, depth 1).
    DavResult (*list)(void* session, const std::string& calendar, std::vector<DavObject>& objects);
    // The objects' texts and ETags (calendar-multiget); missing ones are left out.
    DavResult (*fetch)(void* session, const std::string& calendar,
                       const std::vector<std::string>& hrefs, std::vector<DavObject>& objects);
    // The uploads, several at a time; each gets its own status.
    DavResult (*put)(void* session, std::vector<DavPut>& puts);
    // DELETE with If-Match; `status` the answer's.
    DavResult (*remove)(void* session, const std::string& href, const std::string& ifMatch,
                        int32_t& status);
    // The secret store: false and `error` when there is none or it refused.
    bool (*readPassword)(const std::string& key, std::string& password, std::string& error);
    bool (*storePassword)(const std::string& key, const std::string& password, std::string& error);
};
inline constexpr int32_t kSyncModuleVersion = 1;
inline constexpr const char* kSyncModuleEntry = "kelvo_sync_module";
inline constexpr const char* kSyncModuleFile = "kelvo_sync.so";

} // namespace kelvo
