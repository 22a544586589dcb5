#pragma once

#include "sync/SyncModule.h"

#include <QByteArray>
#include <QList>
#include <QNetworkAccessManager>
#include <QUrl>
#include <utility>

#include <vector>

namespace kelvo::dav {

// One request to send: its verb, path or address, body and headers.
struct Request {
    QByteArray verb;
    QUrl url;
    QByteArray body;
    std::vector<std::pair<QByteArray, QByteArray>> headers;
    int depth = -1; // the Depth header; -1: none
};

struct Reply {
    DavResult result;
    QByteArray body;
    QByteArray etag;
};

// HTTP to one account's server: Basic authentication on every request,
// redirects followed with the same verb, certificates the user trusts
// accepted, each request bounded by the account's time-out. Requests are
// sent from the calling thread, which waits for their answers.
class Client {
public:
    explicit Client(DavAccount account);

    // The address of a path on the server, or of the account's address.
    QUrl address(const QString& path) const;
    const QUrl& base() const { return m_base; }

    Reply send(const Request& request);
    // Several requests under way at once; the replies in the same order.
    std::vector<Reply> sendAll(const std::vector<Request>& requests);

private:
    class QNetworkReply* start(const Request& request);
    Reply finish(class QNetworkReply* reply);

    DavAccount m_account;
    QUrl m_base;
    QNetworkAccessManager m_network;
};

// A request for a DAV XML body.
Request xmlRequest(const QByteArray& verb, const QUrl& url, const QByteArray& body, int depth);

} // namespace kelvo::dav
