#include "platform/lenient_number.h"

#include <QString>

double leadingNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    QString number;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        number += text[i++];
    bool point = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9') {
            number += c;
        } else if (c == u'.' && !point) {
            point = true;
            number += c;
        } else {
            break;
        }
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok ? value : 0.0;
}
