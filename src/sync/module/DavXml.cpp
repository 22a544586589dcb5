#include "sync/module/DavXml.h"

#include <QUrl>
#include <QXmlStreamReader>

namespace kelvo::dav {
namespace {

QString keyOf(const QXmlStreamReader& xml) {
    return xml.namespaceUri().toString() + ' ' + xml.name().toString();
}

bool isDav(const QXmlStreamReader& xml, const char* local) {
    return xml.namespaceUri() == QLatin1String(kDav) && xml.name() == QLatin1String(local);
}

int statusOf(const QString& line) {
    const QStringList parts = line.split(' ', Qt::SkipEmptyParts);
    return parts.size() >= 2 ? parts[1].toInt() : 0;
}

// Reads one property element to its end.
Property readProperty(QXmlStreamReader& xml) {
    Property property;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (isDav(xml, "href")) {
                property.hrefs << hrefPath(xml.readElementText().trimmed());
                break;
            }
            ++depth;
            property.elements << keyOf(xml);
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            property.text += xml.text();
            break;
        default:
            break;
        }
    }
    return property;
}

// Reads a <propstat>: its properties count only with a 200 status.
void readPropstat(QXmlStreamReader& xml, Response& response) {
    QHash<QString, Property> properties;
    int status = 0;
    while (xml.readNextStartElement()) {
        if (isDav(xml, "status")) {
            status = statusOf(xml.readElementText());
        } else if (isDav(xml, "prop")) {
            while (xml.readNextStartElement()) {
                const QString key = keyOf(xml);
                properties.insert(key, readProperty(xml));
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    if (status / 100 == 2)
        response.properties.insert(properties);
}

Response readResponse(QXmlStreamReader& xml) {
    Response response;
    while (xml.readNextStartElement()) {
        if (isDav(xml, "href"))
            response.href = hrefPath(xml.readElementText().trimmed());
        else if (isDav(xml, "status"))
            response.status = statusOf(xml.readElementText());
        else if (isDav(xml, "propstat"))
            readPropstat(xml, response);
        else
            xml.skipCurrentElement();
    }
    return response;
}

} // namespace

const Property* Response::property(const char* ns, const char* local) const {
    const auto found = properties.constFind(elementKey(ns, local));
    return found == properties.constEnd() ? nullptr : &*found;
}

QString elementKey(const char* ns, const char* local) {
    return QString::fromLatin1(ns) + ' ' + QString::fromLatin1(local);
}

QString hrefPath(const QString& href) {
    return QUrl(href).path(QUrl::FullyDecoded);
}

bool parseMultistatus(const QByteArray& body, Multistatus& result) {
    QXmlStreamReader xml(body);
    if (!xml.readNextStartElement() || !isDav(xml, "multistatus"))
        return false;
    while (xml.readNextStartElement()) {
        if (isDav(xml, "response"))
            result.responses.push_back(readResponse(xml));
        else if (isDav(xml, "sync-token"))
            result.syncToken = xml.readElementText().trimmed();
        else
            xml.skipCurrentElement();
    }
    return !xml.hasError();
}

} // namespace kelvo::dav
