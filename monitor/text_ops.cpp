#include "monitor/text_ops.h"

#include <algorithm>

bool Contains(std::string_view text, std::string_view marker)
{
    return !marker.empty() && text.find(marker) != std::string_view::npos;
}

std::size_t Pos(std::string_view text, std::string_view marker, std::size_t from)
{
    if (marker.empty() || from == 0)
        return 0;
    const std::size_t at = text.find(marker, from - 1);
    return at == std::string_view::npos ? 0 : at + 1;
}

std::optional<std::string> Cut(std::string_view text, std::size_t from, std::size_t to)
{
    if (from == 0 || to < from)
        return std::nullopt;
    const std::size_t first = std::min(from - 1, text.size());
    const std::size_t last = std::min(to - 1, text.size());
    return std::string(text.substr(first, last - first));
}

std::optional<std::string> HostValue(std::string_view text)
{
    const std::size_t start = Pos(text, "Host:") + 5;
    return Cut(text, start, Pos(text, "\r\n", start));
}

std::string NormaliseLink(std::string_view link)
{
    std::string noSpaces;
    noSpaces.reserve(link.size() + 7);
    std::copy_if(link.begin(), link.end(), std::back_inserter(noSpaces), [](char c) { return c != ' '; });

    std::string result;
    result.reserve(noSpaces.size() + 7);
    for (std::size_t i = 0; i < noSpaces.size(); ++i) {
        if (noSpaces[i] == '\r' && i + 1 < noSpaces.size() && noSpaces[i + 1] == '\n') {
            ++i;
            continue;
        }
        result += noSpaces[i];
    }
    if (result.find("http://") == std::string::npos)
        result.insert(0, "http://");
    return result;
}
