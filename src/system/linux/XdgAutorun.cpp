#include "system/linux/XdgAutorun.h"

#include "storage/FileIO.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace kelvo {
namespace {

const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#`()");
const QString kEscapedInQuotes = QStringLiteral("\"`$\\");

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString entryFile(const QString& name) {
    return XdgAutorun::directory() + u'/' + name + QStringLiteral(".desktop");
}

// An argument of the Exec line, quoted when it must be.
QString quoteArgument(const QString& argument) {
    bool reserved = false;
    for (QChar c : argument)
        reserved = reserved || kReserved.contains(c);
    if (!reserved)
        return argument;
    QString quoted = QStringLiteral("\"");
    for (QChar c : argument) {
        if (kEscapedInQuotes.contains(c))
            quoted += u'\\';
        quoted += c;
    }
    return quoted + u'"';
}

// The escapes of a desktop entry string value.
QString escapeValue(const QString& text) {
    QString value;
    for (QChar c : text) {
        if (c == u'\\')
            value += QStringLiteral("\\\\");
        else if (c == u'\n')
            value += QStringLiteral("\\n");
        else if (c == u'\t')
            value += QStringLiteral("\\t");
        else if (c == u'\r')
            value += QStringLiteral("\\r");
        else
            value += c;
    }
    return value;
}

QString unescapeValue(const QString& value) {
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 == value.size()) {
            text += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            text += u' ';
            break;
        case 'n':
            text += u'\n';
            break;
        case 't':
            text += u'\t';
            break;
        case 'r':
            text += u'\r';
            break;
        case '\\':
            text += u'\\';
            break;
        default:
            text += c;
            text += next;
        }
    }
    return text;
}

// The first argument of an unescaped Exec line; empty when it has none or
// its quotes are not closed.
QString firstArgument(const QString& line) {
    qsizetype i = 0;
    while (i < line.size() && (line.at(i) == u' ' || line.at(i) == u'\t'))
        ++i;
    if (i == line.size())
        return {};
    if (line.at(i) != u'"') {
        qsizetype end = i;
        while (end < line.size() && line.at(end) != u' ' && line.at(end) != u'\t')
            ++end;
        return line.mid(i, end - i);
    }
    QString argument;
    for (++i; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == u'"')
            return argument;
        if (c == u'\\' && i + 1 < line.size() && kEscapedInQuotes.contains(line.at(i + 1)))
            argument += line.at(++i);
        else
            argument += c;
    }
    return {};
}

// The raw Exec value of the [Desktop Entry] group; empty when missing.
QString execValue(const QString& content) {
    bool inEntry = false;
    for (const QString& rawLine : content.split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == QStringLiteral("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (inEntry && equals > 0 && line.left(equals).trimmed() == QStringLiteral("Exec"))
            return line.mid(equals + 1).trimmed();
    }
    return {};
}

} // namespace

QString desktopExecValue(const QString& path) {
    QString percent = path;
    percent.replace(u'%', QStringLiteral("%%"));
    return escapeValue(quoteArgument(percent));
}

QString desktopExecProgram(const QString& value) {
    return firstArgument(unescapeValue(value)).replace(QStringLiteral("%%"), QStringLiteral("%"));
}

QString XdgAutorun::directory() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart");
}

QString XdgAutorun::read(const QString& name) {
    QFile file(entryFile(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return desktopExecProgram(execValue(QString::fromUtf8(file.readAll())));
}

void XdgAutorun::write(const QString& name, const QString& path) {
    const QString content = QStringLiteral("[Desktop Entry]\n"
                                           "Type=Application\n"
                                           "Name=Kelvo\n"
                                           "Exec=") +
                            desktopExecValue(path) + u'\n';
    if (!QDir().mkpath(directory()) ||
        !replaceFileAtomically(localPath(entryFile(name)), content.toUtf8().toStdString()))
        throw AutorunError::failedToSet(name);
}

void XdgAutorun::remove(const QString& name) {
    QFile::remove(entryFile(name));
}

std::unique_ptr<Autorun> makeSystemAutorun() {
    return std::make_unique<XdgAutorun>();
}

} // namespace kelvo
