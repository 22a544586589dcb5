#include "sync/module/DavCalls.h"

#include "sync/module/DavXml.h"

#include <algorithm>

namespace kelvo::dav {
namespace {

constexpr size_t kMostPerMultiget = 200;

const QByteArray kHead = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

QByteArray escaped(const std::string& text) {
    return QString::fromStdString(text).toHtmlEscaped().toUtf8();
}

QByteArray encodedPath(const std::string& path) {
    return QUrl::toPercentEncoding(QString::fromStdString(path), "/");
}

// A PROPFIND of the properties (each "<prefix:name/>") at the path.
Reply propfind(Client& client, const QUrl& url, const QByteArray& props, int depth) {
    const QByteArray body = kHead +
                            "<d:propfind xmlns:d=\"DAV:\" "
                            "xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><d:prop>" +
                            props + "</d:prop></d:propfind>";
    return client.send(xmlRequest("PROPFIND", url, body, depth));
}

// The 207 answer's responses; a failure when it is none.
DavResult multistatus(const Reply& reply, Multistatus& result) {
    if (!reply.result.ok())
        return reply.result;
    if (reply.result.status != 207 || !parseMultistatus(reply.body, result)) {
        DavResult failed = reply.result;
        failed.failure = DavFailure::NotCalDav;
        failed.error =
            "no WebDAV multistatus answer (HTTP " + std::to_string(reply.result.status) + ")";
        return failed;
    }
    return reply.result;
}

QString firstHref(const Multistatus& answer, const char* ns, const char* local) {
    for (const Response& response : answer.responses) {
        const Property* property = response.property(ns, local);
        if (property && !property->hrefs.isEmpty())
            return property->hrefs.first();
    }
    return {};
}

// The principal's address: at the address given, or found through
// /.well-known/caldav (RFC 6764) when only a server was given.
DavResult findPrincipal(Client& client, QString& principal) {
    QStringList paths;
    const QString given = client.base().path();
    if (given.isEmpty() || given == "/")
        paths << "/.well-known/caldav";
    paths << (given.isEmpty() ? QString("/") : given);
    DavResult last;
    for (const QString& path : paths) {
        Multistatus answer;
        last = multistatus(propfind(client, client.address(path), "<d:current-user-principal/>", 0),
                           answer);
        if (last.failure == DavFailure::Password || last.failure == DavFailure::Certificate ||
            last.failure == DavFailure::Network || last.failure == DavFailure::Timeout)
            return last;
        principal = firstHref(answer, kDav, "current-user-principal");
        if (last.ok() && !principal.isEmpty())
            return last;
    }
    last.failure = DavFailure::NotCalDav;
    if (last.error.empty())
        last.error = "no current-user-principal";
    return last;
}

// Whether the DAV property holds the element.
bool hasElement(const Response& response, const char* property, const char* ns, const char* local) {
    const Property* found = response.property(kDav, property);
    return found && found->elements.contains(elementKey(ns, local));
}

DavCalendar calendarOf(const Response& response) {
    DavCalendar calendar;
    calendar.href = response.href.toStdString();
    if (const Property* name = response.property(kDav, "displayname"))
        calendar.name = name->text.trimmed().toStdString();
    if (calendar.name.empty())
        calendar.name = response.href.section('/', -2, -2).toStdString();
    calendar.syncCollection = hasElement(response, "supported-report-set", kDav, "sync-collection");
    return calendar;
}

} // namespace

DavResult discover(Client& client, std::string& home, std::vector<DavCalendar>& calendars) {
    QString principal;
    DavResult result = findPrincipal(client, principal);
    if (!result.ok())
        return result;
    Multistatus answer;
    result = multistatus(propfind(client, client.address(principal), "<c:calendar-home-set/>", 0),
                         answer);
    const QString homePath = firstHref(answer, kCalDav, "calendar-home-set");
    if (!result.ok() || homePath.isEmpty()) {
        if (result.ok())
            result = {DavFailure::NotCalDav, result.status, "no calendar-home-set", {}};
        return result;
    }
    home = homePath.toStdString();
    Multistatus members;
    result = multistatus(propfind(client, client.address(homePath),
                                  "<d:resourcetype/><d:displayname/><d:supported-report-set/>", 1),
                         members);
    for (const Response& response : members.responses) {
        if (hasElement(response, "resourcetype", kCalDav, "calendar"))
            calendars.push_back(calendarOf(response));
    }
    return result;
}

DavResult makeCalendar(Client& client, const std::string& home, const std::string& name,
                       std::string& href) {
    const QByteArray body = kHead +
                            "<c:mkcalendar xmlns:d=\"DAV:\" "
                            "xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><d:set><d:prop>"
                            "<d:displayname>" +
                            escaped(name) +
                            "</d:displayname><c:supported-calendar-component-set>"
                            "<c:comp name=\"VEVENT\"/></c:supported-calendar-component-set>"
                            "</d:prop></d:set></c:mkcalendar>";
    const std::string base = home + (home.ends_with('/') ? "" : "/") + "kelvo";
    Reply reply;
    for (int n = 1; n <= 9; ++n) {
        href = base + (n == 1 ? std::string() : "-" + std::to_string(n)) + "/";
        reply = client.send(
            xmlRequest("MKCALENDAR", client.address(QString::fromStdString(href)), body, -1));
        if (reply.result.status != 405 && reply.result.status != 409)
            break;
    }
    return reply.result;
}

DavResult changes(Client& client, const std::string& calendar, const std::string& token,
                  DavChanges& changes) {
    const QByteArray tokenXml =
        token.empty() ? "<d:sync-token/>" : "<d:sync-token>" + escaped(token) + "</d:sync-token>";
    const QByteArray body = kHead + "<d:sync-collection xmlns:d=\"DAV:\">" + tokenXml +
                            "<d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop>"
                            "</d:sync-collection>";
    const Reply reply = client.send(
        xmlRequest("REPORT", client.address(QString::fromStdString(calendar)), body, 0));
    const int status = reply.result.status;
    if (!token.empty() && (status == 403 || status == 409 || status == 400)) {
        changes.tokenRefused = true;
        return {};
    }
    Multistatus answer;
    DavResult result = multistatus(reply, answer);
    if (!result.ok())
        return result;
    changes.token = answer.syncToken.toStdString();
    const QString self = QString::fromStdString(calendar);
    for (const Response& response : answer.responses) {
        if (response.href == self)
            continue;
        const Property* etag = response.property(kDav, "getetag");
        if (response.status == 404 || !etag)
            changes.removed.push_back(response.href.toStdString());
        else
            changes.changed.push_back({response.href.toStdString(), etag->text.toStdString(), {}});
    }
    return result;
}

DavResult list(Client& client, const std::string& calendar, std::vector<DavObject>& objects) {
    Multistatus answer;
    const QString self = QString::fromStdString(calendar);
    DavResult result = multistatus(
        propfind(client, client.address(self), "<d:getetag/><d:resourcetype/>", 1), answer);
    for (const Response& response : answer.responses) {
        const Property* etag = response.property(kDav, "getetag");
        if (response.href != self && etag)
            objects.push_back({response.href.toStdString(), etag->text.toStdString(), {}});
    }
    return result;
}

DavResult fetch(Client& client, const std::string& calendar, const std::vector<std::string>& hrefs,
                std::vector<DavObject>& objects) {
    std::vector<Request> requests;
    for (size_t from = 0; from < hrefs.size(); from += kMostPerMultiget) {
        QByteArray body = kHead + "<c:calendar-multiget xmlns:d=\"DAV:\" "
                                  "xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><d:prop><d:getetag/>"
                                  "<c:calendar-data/></d:prop>";
        for (size_t i = from; i < std::min(hrefs.size(), from + kMostPerMultiget); ++i)
            body += "<d:href>" + escaped(encodedPath(hrefs[i]).toStdString()) + "</d:href>";
        body += "</c:calendar-multiget>";
        requests.push_back(
            xmlRequest("REPORT", client.address(QString::fromStdString(calendar)), body, 1));
    }
    DavResult result;
    for (const Reply& reply : client.sendAll(requests)) {
        Multistatus answer;
        result = multistatus(reply, answer);
        if (!result.ok())
            return result;
        for (const Response& response : answer.responses) {
            const Property* etag = response.property(kDav, "getetag");
            const Property* data = response.property(kCalDav, "calendar-data");
            if (etag && data)
                objects.push_back({response.href.toStdString(), etag->text.toStdString(),
                                   data->text.toStdString()});
        }
    }
    return result;
}

DavResult put(Client& client, std::vector<DavPut>& puts) {
    std::vector<Request> requests;
    for (const DavPut& one : puts) {
        Request request{"PUT",
                        client.address(QString::fromStdString(one.href)),
                        QByteArray::fromStdString(one.data),
                        {},
                        -1};
        request.headers.emplace_back("Content-Type", "text/calendar; charset=utf-8");
        if (one.ifMatch.empty())
            request.headers.emplace_back("If-None-Match", "*");
        else
            request.headers.emplace_back("If-Match", QByteArray::fromStdString(one.ifMatch));
        requests.push_back(std::move(request));
    }
    const std::vector<Reply> replies = client.sendAll(requests);
    DavResult result;
    for (size_t i = 0; i < puts.size(); ++i) {
        puts[i].status = replies[i].result.status;
        puts[i].etag = replies[i].etag.toStdString();
        if (!replies[i].result.ok() && result.ok())
            result = replies[i].result;
    }
    return result;
}

DavResult remove(Client& client, const std::string& href, const std::string& ifMatch,
                 int32_t& status) {
    Request request{"DELETE", client.address(QString::fromStdString(href)), {}, {}, -1};
    if (!ifMatch.empty())
        request.headers.emplace_back("If-Match", QByteArray::fromStdString(ifMatch));
    const Reply reply = client.send(request);
    status = reply.result.status;
    return reply.result;
}

} // namespace kelvo::dav
