#include "monitor/request_rules.h"

#include "monitor/text_ops.h"

MatchResult MatchRequestRule(std::string_view text, const RequestRule &rule)
{
    const bool holds = text.starts_with("GET") && Contains(text, rule.hostMarker) && Contains(text, rule.pathMarker)
                       && (rule.extraMarker.empty() || Contains(text, rule.extraMarker));
    if (!holds)
        return {};
    MatchResult result{true, std::nullopt};
    const auto host = HostValue(text);
    const auto path = Cut(text, Pos(text, "GET ") + 4, Pos(text, "HTTP"));
    if (host && path)
        result.offer = LinkOffer{rule.label, NormaliseLink(*host + *path), rule.colour, rule.mp3, std::nullopt};
    return result;
}

MatchResult MatchReplayRule(std::string_view text, const RequestRule &rule)
{
    MatchResult result = MatchRequestRule(text, rule);
    if (result.offer)
        result.offer->replay = std::string(text);
    return result;
}
