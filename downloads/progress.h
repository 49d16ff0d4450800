// The downloader's size and progress texts, as pure functions.
#pragma once

#include <QString>

#include <optional>

// "1 B", "1.5 KB", "4.77 MB", ...: bytes in the largest unit up to GB, at most
// two decimals. No value for 0, negative sizes or 1024 GB and more.
std::optional<QString> FormatSize(qint64 bytes);

// A duration in seconds as "hh:nn:ss"; a day or more wraps around.
QString clockText(qint64 seconds);

// Shortest decimal form of a single-precision value ("50", "33.333332").
QString singleText(float value);

// One refresh of the progress display. A value that cannot be formed (a
// division by zero, a size FormatSize refuses, a progress outside 0..100)
// is left empty: the window keeps what it showed before.
struct ProgressTexts {
    bool lengthKnown = false;     // lbl_Loaded and lbl_Done shown, else Label1
    QString bytesText;            // Label1: "<received> Bytes"
    std::optional<QString> loaded;
    std::optional<QString> speed;
    std::optional<QString> remaining;
    std::optional<QString> percent;
    std::optional<float> progress;
    std::optional<QString> tooltip;
};

ProgressTexts computeProgress(qint64 received, qint64 contentLength, qint64 elapsedMs);
