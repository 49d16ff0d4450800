// How the downloader splits an address.
#pragma once

#include <QString>

struct RemoteAddress {
    QString host;
    QString port; // as text; its leading number is what counts
    QString path; // with the query, starting with "/"

    bool operator==(const RemoteAddress &) const = default;
};

// Drops a leading "http://" and then a leading "www." (both in any case),
// takes the path from the first "/", and the port from the first ":" of
// what is before it (80 when there is none). Other schemes are not known:
// "https://h/p" gives the host "https" and an empty port.
RemoteAddress ParseUrl(const QString &address);

// The leading number of the port text; 0 means unusable.
int portNumber(const QString &port);
