#include "system/linux/XdgAutorun.h"

#include "core/SystemError.h"
#include "storage/FileIO.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QStringList>

#include <cerrno>
#include <filesystem>

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

// The arguments of an unescaped Exec line, field codes (%U, %f …) left
// out; empty when a quote is not closed.
QStringList execArguments(const QString& line) {
    QStringList arguments;
    qsizetype i = 0;
    const auto blank = [&line](qsizetype at) {
        return line.at(at) == u' ' || line.at(at) == u'\t';
    };
    while (true) {
        while (i < line.size() && blank(i))
            ++i;
        if (i == line.size())
            return arguments;
        QString argument;
        if (line.at(i) != u'"') {
            while (i < line.size() && !blank(i))
                argument += line.at(i++);
        } else {
            for (++i; i < line.size() && line.at(i) != u'"'; ++i) {
                if (line.at(i) == u'\\' && i + 1 < line.size() &&
                    kEscapedInQuotes.contains(line.at(i + 1)))
                    ++i;
                argument += line.at(i);
            }
            if (i == line.size())
                return {};
            ++i;
        }
        const bool fieldCode = argument.size() == 2 && argument.at(0) == u'%' && argument != "%%";
        if (!fieldCode)
            arguments << argument.replace(QStringLiteral("%%"), QStringLiteral("%"));
    }
}

// The raw values of the [Desktop Entry] group's keys.
QMap<QString, QString> entryValues(const QString& content) {
    QMap<QString, QString> values;
    bool inEntry = false;
    for (const QString& rawLine : content.split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == QStringLiteral("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (inEntry && equals > 0)
            values.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return values;
}

} // namespace

QString desktopExecValue(const QStringList& command) {
    QStringList quoted;
    for (QString argument : command)
        quoted << quoteArgument(argument.replace(u'%', QStringLiteral("%%")));
    return escapeValue(quoted.join(u' '));
}

QStringList desktopExecCommand(const QString& value) {
    return execArguments(unescapeValue(value));
}

QString XdgAutorun::directory() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart");
}

QStringList XdgAutorun::read(const QString& name) {
    QFile file(entryFile(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QMap<QString, QString> values = entryValues(QString::fromUtf8(file.readAll()));
    if (values.value(QStringLiteral("Hidden")) == QStringLiteral("true") ||
        values.value(QStringLiteral("X-GNOME-Autostart-enabled")) == QStringLiteral("false"))
        return {};
    return desktopExecCommand(values.value(QStringLiteral("Exec")));
}

void XdgAutorun::write(const QString& name, const QStringList& command) {
    const QString content = QStringLiteral("[Desktop Entry]\n"
                                           "Type=Application\n"
                                           "Name=Kelvo\n"
                                           "Comment=Reminds you of dates and times from "
                                           "the system tray\n"
                                           "Comment[zh_CN]=在系统托盘中按日期和时间提醒您\n"
                                           "Icon=kelvo\n"
                                           "Exec=") +
                            desktopExecValue(command) + u'\n';
    std::error_code ec;
    std::filesystem::create_directories(localPath(directory()), ec);
    const std::string file = localPath(entryFile(name));
    if (ec || !replaceFileAtomically(file, content.toUtf8().toStdString())) {
        const std::string failed = ec ? localPath(directory()) : file;
        throw AutorunError::failedToSet(
            name, QString::fromStdString(cannotWriteText(failed, ec ? ec.value() : errno)));
    }
}

void XdgAutorun::remove(const QString& name) {
    QFile::remove(entryFile(name));
}

std::unique_ptr<Autorun> makeSystemAutorun() {
    return std::make_unique<XdgAutorun>();
}

} // namespace kelvo
