// The request matchers most site rules use.
#pragma once

#include "monitor/link_offer.h"

#include <string>
#include <string_view>

struct RequestRule {
    std::string hostMarker;
    std::string label;
    std::string extraMarker; // ignored when empty
    std::string pathMarker;
    std::uint32_t colour = 0;
    bool mp3 = false;
};

struct MatchResult {
    bool fired = false;
    std::optional<LinkOffer> offer; // a fired rule whose cut has no value offers nothing
};

// Fires when the text begins with "GET" and holds the host, path and (when
// given) extra markers; the link is the "Host:" value followed by the request
// target.
MatchResult MatchRequestRule(std::string_view text, const RequestRule &rule);

// The same; the offer carries the request text for the downloader to replay.
MatchResult MatchReplayRule(std::string_view text, const RequestRule &rule);
