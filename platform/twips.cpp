#include "platform/twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace {
double logicalDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}
} // namespace

int twipsToPixels(int twips)
{
    return static_cast<int>(std::lround(twips * logicalDpi() / 1440.0));
}

int pixelsToTwips(int pixels)
{
    return static_cast<int>(std::lround(pixels * 1440.0 / logicalDpi()));
}
