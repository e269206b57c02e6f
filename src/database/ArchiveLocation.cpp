#include "database/ArchiveLocation.h"
#include "base/DataLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QSettings>
#include <QUrl>

namespace {

QString decoded(const QString& text)
{
    return QUrl::fromPercentEncoding(text.toUtf8());
}

// The client options travel to the driver as one "key=value;key=value" text
// that is not quoted: a value with a blank, a quote, a backslash or a ';'
// could smuggle in options of its own, so it is refused.
bool isPlainOption(const QString& key, const QString& value)
{
    static const QRegularExpression keyPattern(QStringLiteral("^[a-z_]+$"));
    static const QRegularExpression valuePattern(QStringLiteral("^[^\\s'\"\\\\;]+$"));
    return keyPattern.match(key).hasMatch() && valuePattern.match(value).hasMatch();
}

bool setPort(ArchiveLocation& location, const QString& text)
{
    bool ok = false;
    const int port = text.toInt(&ok);
    if (!ok || port < 1 || port > 65535) {
        location.error = QStringLiteral("Неверный порт в адресе архива: %1").arg(text);
        return false;
    }
    location.port = port;
    return true;
}

void parseServer(ArchiveLocation& location, QString rest)
{
    const QString refusedPassword =
        QStringLiteral("Пароль в адресе архива не используется: укажите его в PGPASSWORD или ~/.pgpass");
    const int queryAt = rest.indexOf(QLatin1Char('?'));
    const QString query = queryAt < 0 ? QString() : rest.mid(queryAt + 1);
    if (queryAt >= 0)
        rest.truncate(queryAt);
    const int pathAt = rest.indexOf(QLatin1Char('/'));
    if (pathAt >= 0) {
        location.database = decoded(rest.mid(pathAt + 1));
        rest.truncate(pathAt);
    }
    const int userAt = rest.lastIndexOf(QLatin1Char('@'));
    if (userAt >= 0) {
        const QString user = rest.left(userAt);
        if (user.contains(QLatin1Char(':'))) {
            location.error = refusedPassword;
            return;
        }
        location.user = decoded(user);
        rest = rest.mid(userAt + 1);
    }
    // host, host:port, [v6 address]:port, or nothing
    int portAt = rest.lastIndexOf(QLatin1Char(':'));
    if (rest.startsWith(QLatin1Char('['))) {
        const int close = rest.indexOf(QLatin1Char(']'));
        portAt = close >= 0 && rest.mid(close + 1).startsWith(QLatin1Char(':')) ? close + 1 : -1;
        location.host = rest.mid(1, (close < 0 ? rest.size() : close) - 1);
    } else {
        location.host = decoded(portAt < 0 ? rest : rest.left(portAt));
    }
    if (portAt >= 0 && !setPort(location, rest.mid(portAt + 1)))
        return;

    for (const QString& pair : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const QString key = decoded(pair.section(QLatin1Char('='), 0, 0));
        const QString value = decoded(pair.section(QLatin1Char('='), 1));
        if (key == QLatin1String("host")) {
            location.host = value;
        } else if (key == QLatin1String("port")) {
            if (!setPort(location, value))
                return;
        } else if (key == QLatin1String("user")) {
            location.user = value;
        } else if (key == QLatin1String("dbname")) {
            location.database = value;
        } else if (key == QLatin1String("password")) {
            location.error = refusedPassword;
            return;
        } else if (isPlainOption(key, value)) {
            location.options << key + QLatin1Char('=') + value;
        } else {
            location.error = QStringLiteral("Недопустимый параметр в адресе архива: %1").arg(pair);
            return;
        }
    }
}

} // namespace

QString ArchiveLocation::configuredText()
{
    return configuredText(DataLocation::dataDir() + QStringLiteral("/orvelin.ini"),
                          qEnvironmentVariable("ORVELIN_ARCHIVE"));
}

QString ArchiveLocation::configuredText(const QString& iniFile, const QString& environmentValue)
{
    if (!environmentValue.trimmed().isEmpty())
        return environmentValue.trimmed();
    QSettings ini(iniFile, QSettings::IniFormat);
    ini.setIniCodec("UTF-8");
    // An unquoted value with a comma comes back as a list.
    const QVariant url = ini.value(QStringLiteral("archive/url"));
    return (url.type() == QVariant::StringList ? url.toStringList().join(QLatin1Char(',')) : url.toString()).trimmed();
}

ArchiveLocation ArchiveLocation::parse(const QString& text, const QString& baseDir)
{
    ArchiveLocation location;
    location.text = text.trimmed();
    static const QRegularExpression scheme(QStringLiteral("^postgres(ql)?://"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = scheme.match(location.text);
    if (match.hasMatch()) {
        location.server = true;
        parseServer(location, location.text.mid(match.capturedLength()));
        return location;
    }
    const QString path = location.text.isEmpty() ? QStringLiteral("Record.sqlite") : location.text;
    location.filePath = QDir::isAbsolutePath(path) ? path : QDir(baseDir).filePath(path);
    if (location.text.isEmpty())
        location.text = location.filePath;
    return location;
}
