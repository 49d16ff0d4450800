#include "platform/shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace Shell {

namespace {
OpenHandler &handler()
{
    static OpenHandler h;
    return h;
}
} // namespace

void setOpenHandler(OpenHandler h)
{
    handler() = std::move(h);
}

bool isWebAddress(const QString &address)
{
    return address.startsWith("http://", Qt::CaseInsensitive) || address.startsWith("https://", Qt::CaseInsensitive);
}

bool open(const QString &address)
{
    if (handler())
        return handler()(address);
    return QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
}

} // namespace Shell
