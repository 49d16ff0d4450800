// Handing addresses and programs to the desktop, behind a seam tests answer.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace Shell {

// Opens the address with the desktop's default handler (as a rule the web
// browser). False when the desktop refused.
bool open(const QString &address);

// True for the addresses the programs hand on: http:// and https:// only.
// Links are built from captured traffic that anyone on the network can shape.
bool isWebAddress(const QString &address);

using OpenHandler = std::function<bool(const QString &address)>;
void setOpenHandler(OpenHandler handler); // empty: the real desktop again

} // namespace Shell
