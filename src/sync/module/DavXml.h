#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

namespace kelvo::dav {

inline constexpr const char* kDav = "DAV:";
inline constexpr const char* kCalDav = "urn:ietf:params:xml:ns:caldav";

// One property of a multistatus answer: its text, the hrefs inside it and
// the names ("namespace local") of the elements inside it.
struct Property {
    QString text;
    QStringList hrefs;
    QStringList elements;
};

// One <response>: its path (decoded), its own status (of a removed member in
// a sync-collection answer) and the properties its 200 propstat holds.
struct Response {
    QString href;
    int status = 0;
    QHash<QString, Property> properties; // by "namespace local"
    const Property* property(const char* ns, const char* local) const;
};

struct Multistatus {
    QVector<Response> responses;
    QString syncToken;
};

// The name under which properties are kept.
QString elementKey(const char* ns, const char* local);

// Parses a 207 Multi-Status body; false when it is no such document.
bool parseMultistatus(const QByteArray& body, Multistatus& result);

// The path of an href as given, decoded, without scheme and host.
QString hrefPath(const QString& href);

} // namespace kelvo::dav
