#include "downloads/progress.h"

#include <charconv>
#include <cmath>

namespace {

// Halves to the even neighbour, as the progress arithmetic rounds.
double roundEven(double x)
{
    return std::nearbyint(x);
}

} // namespace

std::optional<QString> FormatSize(qint64 bytes)
{
    if (bytes <= 0)
        return std::nullopt;
    const auto unit = static_cast<int>(std::floor(std::log(static_cast<double>(bytes)) / std::log(1024.0)));
    static const char *const units[] = {"B", "KB", "MB", "GB"};
    if (unit < 0 || unit > 3)
        return std::nullopt;
    const double value = roundEven(static_cast<double>(bytes) / std::pow(1024.0, unit) * 100.0) / 100.0;
    return QString::number(value, 'g', 15) + ' ' + units[unit];
}

QString clockText(qint64 seconds)
{
    const qint64 s = seconds % 86400;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString singleText(float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

ProgressTexts computeProgress(qint64 received, qint64 contentLength, qint64 elapsedMs)
{
    ProgressTexts t;
    const double elapsed = roundEven(static_cast<double>(elapsedMs) / 1000.0);
    std::optional<double> speed;
    if (elapsed > 0)
        speed = roundEven(static_cast<double>(received) / elapsed);
    if (speed) {
        const double remaining =
            *speed == 0 ? 0 : roundEven(static_cast<double>(contentLength - received) / *speed);
        if (remaining >= 0)
            t.remaining = clockText(static_cast<qint64>(remaining));
        if (const auto s = FormatSize(static_cast<qint64>(*speed)))
            t.speed = *s + "/s";
    }
    const auto loaded = FormatSize(received);
    const auto total = FormatSize(contentLength);
    if (loaded && total)
        t.loaded = *loaded + " / " + *total;
    if (contentLength > 0)
        t.percent = QString::number(std::round(static_cast<double>(received) / static_cast<double>(contentLength) * 100.0))
                    + '%';
    t.lengthKnown = contentLength > 0;
    t.bytesText = QString::number(received) + " Bytes";
    if (contentLength != 0) {
        const float progress = static_cast<float>(received) / static_cast<float>(contentLength) * 100.0f;
        if (progress >= 0 && progress <= 100) {
            t.progress = progress;
            t.tooltip = "Progress : " + singleText(progress) + " %";
        }
    }
    return t;
}
