#pragma once

#include "sync/CalendarServer.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kelvo::test {

// A calendar collection in memory that answers as a CalDAV server does:
// ETags change with every write, If-Match and If-None-Match are kept, and
// sync-collection tokens count the writes (when `collection` is set).
class FakeCalendar final : public CalendarServer {
public:
    struct Stored {
        std::string etag, data;
        int changed = 0;
        bool removed = false;
    };

    bool collection = true;
    int32_t failPutsWith = 0; // answer every PUT with this status, when set
    // Called before each PUT is answered (another client's write in between).
    std::function<void(const DavPut&)> beforePut;
    std::map<std::string, Stored> objects; // by href
    int requests = 0;

    const std::string& calendar() const override { return m_calendar; }
    bool syncCollection() const override { return collection; }

    // Another client writes or deletes.
    void write(const std::string& href, const std::string& data) {
        objects[href] = {"\"" + std::to_string(++m_version) + "\"", data, m_version, false};
    }
    void erase(const std::string& href) { objects[href] = {{}, {}, ++m_version, true}; }
    std::vector<std::string> hrefs() const {
        std::vector<std::string> present;
        for (const auto& [href, object] : objects) {
            if (!object.removed)
                present.push_back(href);
        }
        return present;
    }

    DavResult changes(const std::string& token, DavChanges& changes) override {
        ++requests;
        const int since = token.empty() ? 0 : std::stoi(token);
        for (const auto& [href, object] : objects) {
            if (object.changed <= since || (object.removed && token.empty()))
                continue;
            if (object.removed)
                changes.removed.push_back(href);
            else
                changes.changed.push_back({href, object.etag, {}});
        }
        changes.token = std::to_string(m_version);
        return {};
    }
    DavResult list(std::vector<DavObject>& out) override {
        ++requests;
        for (const auto& [href, object] : objects) {
            if (!object.removed)
                out.push_back({href, object.etag, {}});
        }
        return {};
    }
    DavResult fetch(const std::vector<std::string>& hrefs, std::vector<DavObject>& out) override {
        ++requests;
        for (const std::string& href : hrefs) {
            const auto found = objects.find(href);
            if (found != objects.end() && !found->second.removed)
                out.push_back({href, found->second.etag, found->second.data});
        }
        return {};
    }
    DavResult put(std::vector<DavPut>& puts) override {
        ++requests;
        for (DavPut& put : puts) {
            if (beforePut)
                beforePut(put);
            put.status = answer(put);
            if (put.status == 201 || put.status == 204) {
                write(put.href, put.data);
                put.etag = objects[put.href].etag;
            }
        }
        if (failPutsWith != 0)
            return {failPutsWith == 507 ? DavFailure::Quota : DavFailure::Server,
                    failPutsWith,
                    "refused",
                    {}};
        return {};
    }
    DavResult remove(const std::string& href, const std::string& ifMatch,
                     int32_t& status) override {
        ++requests;
        const auto found = objects.find(href);
        const bool present = found != objects.end() && !found->second.removed;
        status = !present ? 404 : found->second.etag != ifMatch ? 412 : 204;
        if (status == 204)
            erase(href);
        return {};
    }

private:
    int32_t answer(const DavPut& put) const {
        if (failPutsWith != 0)
            return failPutsWith;
        const auto found = objects.find(put.href);
        const bool present = found != objects.end() && !found->second.removed;
        if (put.ifMatch.empty())
            return present ? 412 : 201;
        if (!present)
            return 404;
        return put.ifMatch == "*" || put.ifMatch == found->second.etag ? 204 : 412;
    }

    std::string m_calendar = "/user/kelvo/";
    int m_version = 0;
};

} // namespace kelvo::test
