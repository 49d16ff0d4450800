#include "medialib/movie_address.h"

#include <QUrl>

QString mediaOfMovieAddress(const QString &address)
{
    const qsizetype query = address.indexOf('?');
    if (query < 0)
        return address;
    qsizetype at = -1;
    for (const char *key : {"?file=", "&file="}) {
        const qsizetype found = address.indexOf(QLatin1String(key), query);
        if (found >= 0 && (at < 0 || found < at))
            at = found;
    }
    if (at < 0)
        return address;
    QString value = address.mid(at + 6);
    // A player address from a server may carry the file escaped.
    if (!value.contains("://")) {
        const QString decoded = QUrl::fromPercentEncoding(value.toUtf8());
        if (decoded.contains("://"))
            value = decoded;
    }
    return value;
}

bool flashVarsAutostart(const QString &flashVars)
{
    for (const QString &pair : flashVars.split('&'))
        if (pair.trimmed().compare("autostart=true", Qt::CaseInsensitive) == 0)
            return true;
    return false;
}
