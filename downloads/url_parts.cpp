#include "downloads/url_parts.h"

#include "platform/lenient_number.h"

#include <cmath>

RemoteAddress ParseUrl(const QString &address)
{
    QString s = address;
    if (s.left(7).toLower() == "http://")
        s = s.mid(7);
    if (s.left(4).toLower() == "www.")
        s = s.mid(4);
    RemoteAddress r;
    const qsizetype slash = s.indexOf('/');
    const QString hostPart = slash >= 0 ? s.left(slash) : s;
    r.path = slash >= 0 ? s.mid(slash) : QStringLiteral("/");
    const qsizetype colon = hostPart.indexOf(':');
    if (colon < 0) {
        r.host = hostPart;
        r.port = QStringLiteral("80");
    } else {
        r.host = hostPart.left(colon);
        r.port = hostPart.mid(colon + 1);
    }
    return r;
}

int portNumber(const QString &port)
{
    const double n = leadingNumber(port);
    return n >= 1 && n <= 65535 ? static_cast<int>(std::floor(n)) : 0;
}
