// The sync module's table: every call runs on the calling thread, which
// waits for it; nothing is thrown across.
#include "sync/SyncModule.h"
#include "sync/module/DavCalls.h"
#include "sync/module/Keychain.h"

#include <QCoreApplication>

#include <exception>

namespace {

using kelvo::DavFailure;
using kelvo::DavResult;
using kelvo::dav::Client;

// A program without Qt of its own (kelvoctl) gets an application object,
// which Qt Network's event loop needs. It lives to the end of the process:
// destroyed among the statics at exit, it would outlive Qt's own.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "kelvo";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        static QCoreApplication* const app = new QCoreApplication(argc, argv);
        (void)app;
    }
}

template <typename F> DavResult caught(F call) noexcept {
    try {
        return call();
    } catch (const std::exception& e) {
        return {DavFailure::Network, 0, e.what(), {}};
    }
}

void* open(const kelvo::DavAccount& account) noexcept {
    try {
        ensureApplication();
        return new Client(account);
    } catch (const std::exception&) {
        return nullptr;
    }
}

void close(void* session) noexcept {
    delete static_cast<Client*>(session);
}

Client& client(void* session) {
    return *static_cast<Client*>(session);
}

DavResult discover(void* s, std::string& home,
                   std::vector<kelvo::DavCalendar>& calendars) noexcept {
    return caught([&] { return kelvo::dav::discover(client(s), home, calendars); });
}

DavResult makeCalendar(void* s, const std::string& home, const std::string& name,
                       std::string& href) noexcept {
    return caught([&] { return kelvo::dav::makeCalendar(client(s), home, name, href); });
}

DavResult changes(void* s, const std::string& calendar, const std::string& token,
                  kelvo::DavChanges& out) noexcept {
    return caught([&] { return kelvo::dav::changes(client(s), calendar, token, out); });
}

DavResult list(void* s, const std::string& calendar,
               std::vector<kelvo::DavObject>& objects) noexcept {
    return caught([&] { return kelvo::dav::list(client(s), calendar, objects); });
}

DavResult fetch(void* s, const std::string& calendar, const std::vector<std::string>& hrefs,
                std::vector<kelvo::DavObject>& objects) noexcept {
    return caught([&] { return kelvo::dav::fetch(client(s), calendar, hrefs, objects); });
}

DavResult put(void* s, std::vector<kelvo::DavPut>& puts) noexcept {
    return caught([&] { return kelvo::dav::put(client(s), puts); });
}

DavResult remove(void* s, const std::string& href, const std::string& ifMatch,
                 int32_t& status) noexcept {
    return caught([&] { return kelvo::dav::remove(client(s), href, ifMatch, status); });
}

template <typename F> bool caughtStore(std::string& error, F call) noexcept {
    try {
        ensureApplication();
        return call();
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

bool readPassword(const std::string& key, std::string& password, std::string& error) noexcept {
    return caughtStore(error, [&] { return kelvo::dav::readPassword(key, password, error); });
}

bool storePassword(const std::string& key, const std::string& password,
                   std::string& error) noexcept {
    return caughtStore(error, [&] { return kelvo::dav::storePassword(key, password, error); });
}

const kelvo::SyncModuleApi kApi{kelvo::kSyncModuleVersion,
                                open,
                                close,
                                discover,
                                makeCalendar,
                                changes,
                                list,
                                fetch,
                                put,
                                remove,
                                readPassword,
                                storePassword};

} // namespace

extern "C" __attribute__((visibility("default"))) const kelvo::SyncModuleApi* kelvo_sync_module() {
    return &kApi;
}
