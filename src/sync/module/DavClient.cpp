#include "sync/module/DavClient.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QNetworkReply>
#include <QSslCertificate>
#include <QSslError>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace kelvo::dav {
namespace {

constexpr int kMostRedirects = 5;
constexpr size_t kMostAtOnce = 6;

QString fingerprint(const QSslCertificate& certificate) {
    return QString::fromLatin1(
        QCryptographicHash::hash(certificate.toDer(), QCryptographicHash::Sha256).toHex());
}

DavFailure failureOf(int status) {
    if (status == 401 || status == 403)
        return DavFailure::Password;
    if (status == 507)
        return DavFailure::Quota;
    return DavFailure::Server;
}

bool redirects(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

Client::Client(DavAccount account) : m_account(std::move(account)) {
    m_base = QUrl::fromUserInput(QString::fromStdString(m_account.url));
    m_network.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

QUrl Client::address(const QString& path) const {
    QUrl url = m_base;
    url.setPath(path, QUrl::DecodedMode);
    url.setQuery(QString());
    return url;
}

Request xmlRequest(const QByteArray& verb, const QUrl& url, const QByteArray& body, int depth) {
    Request request{verb, url, body, {}, depth};
    request.headers.emplace_back("Content-Type", "application/xml; charset=utf-8");
    return request;
}

QNetworkReply* Client::start(const Request& request) {
    QNetworkRequest http(request.url);
    const QByteArray credentials =
        QByteArray::fromStdString(m_account.user + ':' + m_account.password).toBase64();
    http.setRawHeader("Authorization", "Basic " + credentials);
    http.setRawHeader("User-Agent", "Kelvo");
    if (request.depth >= 0)
        http.setRawHeader("Depth", QByteArray::number(request.depth));
    for (const auto& [name, value] : request.headers)
        http.setRawHeader(name, value);
    http.setTransferTimeout(m_account.timeoutMs);
    QNetworkReply* reply = m_network.sendCustomRequest(http, request.verb, request.body);
    QObject::connect(
        reply, &QNetworkReply::sslErrors, reply, [this, reply](const QList<QSslError>&) {
            const QList<QSslCertificate> chain = reply->sslConfiguration().peerCertificateChain();
            const QString print = chain.isEmpty() ? QString() : fingerprint(chain.first());
            const auto& trusted = m_account.trustedCertificates;
            if (!print.isEmpty() &&
                std::find(trusted.begin(), trusted.end(), print.toStdString()) != trusted.end())
                reply->ignoreSslErrors();
            else
                reply->setProperty("kelvoCertificate", print);
        });
    return reply;
}

Reply Client::finish(QNetworkReply* reply) {
    Reply out;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    out.result.status = status;
    out.body = reply->readAll();
    out.etag = reply->rawHeader("ETag");
    const QString certificate = reply->property("kelvoCertificate").toString();
    if (!certificate.isEmpty()) {
        out.result.failure = DavFailure::Certificate;
        out.result.certificate = certificate.toStdString();
    } else if (status == 0) {
        const bool timedOut = reply->error() == QNetworkReply::OperationCanceledError ||
                              reply->error() == QNetworkReply::TimeoutError;
        out.result.failure = timedOut ? DavFailure::Timeout : DavFailure::Network;
    } else if (status / 100 != 2 && status != 412 && status != 404) {
        out.result.failure = failureOf(status);
    }
    if (!out.result.ok())
        out.result.error = reply->errorString().toStdString();
    reply->deleteLater();
    return out;
}

std::vector<Reply> Client::sendAll(const std::vector<Request>& requests) {
    std::vector<Reply> replies(requests.size());
    std::vector<Request> current(requests);
    std::vector<int> hops(requests.size(), 0);
    QEventLoop loop;
    size_t next = 0, running = 0;
    std::function<void(size_t)> launch;
    const auto startMore = [&] {
        while (running < kMostAtOnce && next < current.size()) {
            ++running;
            launch(next++);
        }
    };
    launch = [&](size_t i) {
        QNetworkReply* reply = start(current[i]);
        QObject::connect(reply, &QNetworkReply::finished, &loop, [&, i, reply] {
            const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            const QByteArray location = reply->rawHeader("Location");
            if (redirects(status) && !location.isEmpty() && hops[i]++ < kMostRedirects) {
                current[i].url = current[i].url.resolved(QUrl::fromEncoded(location));
                reply->deleteLater();
                launch(i);
                return;
            }
            replies[i] = finish(reply);
            --running;
            startMore();
            if (running == 0)
                loop.quit();
        });
    };
    startMore();
    if (running > 0)
        loop.exec();
    return replies;
}

Reply Client::send(const Request& request) {
    return sendAll({request}).front();
}

} // namespace kelvo::dav
