#include "monitor/site_rules.h"

#include "monitor/text_ops.h"

namespace {

constexpr std::uint32_t kRed = 255;
constexpr std::uint32_t kGreen = 65280;

SiteRule requestRule(int number, RuleKind kind, std::string label, std::string host, std::string extra,
                     std::string path)
{
    SiteRule r;
    r.number = number;
    r.kind = kind;
    r.request = RequestRule{std::move(host), std::move(label), std::move(extra), std::move(path), 0, false};
    return r;
}

SiteRule cutRule(int number, RuleKind kind, CutRule cut)
{
    SiteRule r;
    r.number = number;
    r.kind = kind;
    r.cut = std::move(cut);
    return r;
}

std::size_t endPosition(std::string_view text, const CutRule &rule, std::size_t start)
{
    if (rule.endAtLineEnd)
        return Pos(text, "\r\n", start);
    for (const std::string &marker : rule.endMarkers)
        if (const std::size_t at = Pos(text, marker))
            return at + rule.endOffset;
    return 0;
}

RuleOutcome evaluateCutRule(const SiteRule &rule, std::string_view text, FoundLinkRegistry &registry)
{
    const CutRule &c = rule.cut;
    if (c.mustBeginWithGet && !text.starts_with("GET"))
        return {};
    for (const std::string &marker : c.markers)
        if (!Contains(text, marker))
            return {};

    const std::size_t start = Pos(text, c.startMarker) + c.startOffset;
    const auto piece = Cut(text, start, endPosition(text, c, start));
    if (!piece)
        return {true, false};
    std::string link = *piece;
    if (rule.kind == RuleKind::Cut) {
        const auto host = HostValue(text);
        if (!host)
            return {true, false};
        link = *host + link;
    }
    const LinkOffer offer{c.label, NormaliseLink(link), 0, std::nullopt, std::nullopt};
    return {true, OfferFoundLink(registry, offer) == OfferResult::AlreadyOpen};
}

} // namespace

RuleTable::RuleTable(const SitePatterns &p)
{
    const auto &h = p.rules;
    using K = RuleKind;
    std::vector<SiteRule> all;

    all.push_back(cutRule(1, K::Cut, {"Mega Porn FLV URL", {"files/", h[1]}, false, "/files/", 0, {"HTTP"}, 0, false}));
    all.push_back(requestRule(2, K::Replay, "Youtube", h[2], "videoplayback?", " HTTP/1.1"));
    all.push_back(requestRule(3, K::Replay, "Youtube", h[3], "cache", " HTTP/1.1"));
    all.push_back(requestRule(4, K::Request, "Spank Wire", "Host:", h[4], ".flv"));
    all.push_back(requestRule(5, K::Request, "MY Space FLV", h[5], "", ".flv HTTP"));
    all.push_back(requestRule(6, K::Request, "MYSpace Movies", h[6], "", ".flv HTTP"));
    all.push_back(requestRule(7, K::Request, p.rule7Label + " [CBS TV]", h[7], "", ".flv HTTP"));
    all.push_back(requestRule(8, K::Request, "Game Spot", h[8], "", ".flv HTTP"));
    all.push_back(requestRule(9, K::Request, "ROO TV", h[9], "", ".flv"));
    all.push_back(requestRule(10, K::Request, p.rule10Label, h[10], "", ".flv"));
    all.push_back(requestRule(11, K::Request, "IFLIM VIDEO", h[11].empty() ? "" : "Host: " + h[11], "", ".flv"));
    all.push_back(requestRule(12, K::Request, "MSN VIDEO", h[12], "", ".flv HTTP"));
    all.push_back(requestRule(13, K::Request, "UNCUT VIDEO [AOL]", h[13], "", ".flv"));
    all.push_back(requestRule(14, K::Request, "VISION AMEBA", h[14], "", ".flv"));
    all.push_back(requestRule(15, K::Request, "REVVER FLV", h[15], "", ".flv"));
    all.push_back(requestRule(16, K::Request, "MOFILE FLV", h[16], "", ".flv"));
    all.push_back(requestRule(17, K::Request, "Super Nova Tube", h[17], "", ".flv"));
    all.push_back(cutRule(18, K::Cut,
                          {"VEOH FLV URL", {"GET ", h[18], "/Vpreview"}, false, "/Vpreview", 0,
                           {"HTTP/1.1", "HTTP/1.0"}, 0, false}));
    all.push_back(cutRule(19, K::Cut, {"You Porn FLV Link", {h[19], ".flv", "/e"}, true, "/e", 0, {".flv"}, 4, false}));
    all.push_back(cutRule(20, K::Value,
                          {"Daily Motion Video FLV Link", {h[20], ".flv&"}, true, "playfiles=", 10, {".flv&"}, 4,
                           false}));
    all.push_back(cutRule(21, K::Cut,
                          {"Daily Motion Video FLV Link", {h[21], "/get/"}, true, "/get/", 0, {"HTTP"}, 0, false}));
    all.push_back(cutRule(22, K::Cut,
                          {"Guba Video FLV Link", {h[22], "/download/flash/"}, true, "/download/flash/", 0, {"HTTP"},
                           0, false}));
    all.push_back(cutRule(23, K::Cut, {"Redtube Video FLV Link", {h[23], ".flv"}, true, "GET ", 4, {"HTTP"}, 0, false}));
    all.push_back(cutRule(24, K::Cut,
                          {"Mega Rotic FLV URL", {h[24], "/Site2/Display/StatsRecorder.php?"}, false,
                           "/Site2/Display/StatsRecorder.php?", 0, {"HTTP"}, 0, false}));
    all.push_back(cutRule(25, K::Value,
                          {"Google Video FLV Link",
                           {"HTTP/1.1 303", h[25].empty() ? "" : h[25] + "/", "get_video?video_id="}, false,
                           "Location:", 9, {}, 0, true}));
    all.push_back(cutRule(26, K::Cut, {"Mega Video FLV URL", {"files/", h[26]}, false, "/files/", 0, {"HTTP"}, 0, false}));

    for (SiteRule &rule : all)
        if (!h[static_cast<std::size_t>(rule.number)].empty())
            siteRules_.push_back(std::move(rule));

    forced_ = requestRule(0, K::Request, "Forced Mode !", "Host:", "", ".flv HTTP");
    forced_.request.colour = kRed;
    mp3_ = requestRule(0, K::Request, "MP3 Stream", "Host:", "", ".mp3 HTTP");
    mp3_.request.colour = kGreen;
    mp3_.request.mp3 = true;
}

RuleOutcome evaluateRule(const SiteRule &rule, std::string_view text, FoundLinkRegistry &registry)
{
    if (rule.kind == RuleKind::Cut || rule.kind == RuleKind::Value)
        return evaluateCutRule(rule, text, registry);
    const MatchResult match =
        rule.kind == RuleKind::Replay ? MatchReplayRule(text, rule.request) : MatchRequestRule(text, rule.request);
    if (match.offer)
        OfferFoundLink(registry, *match.offer);
    return {match.fired, false};
}

void processRequestText(std::string_view text, const RuleTable &rules, MonitorSwitches &switches,
                        FoundLinkRegistry &registry)
{
    bool anyFired = false;
    if (switches.flv() == 1) {
        for (const SiteRule &rule : rules.siteRules()) {
            const RuleOutcome outcome = evaluateRule(rule, text, registry);
            if (outcome.endsFrame)
                return;
            anyFired |= outcome.fired;
        }
        if (switches.useForce() == 1) {
            anyFired |= evaluateRule(rules.forcedRule(), text, registry).fired;
            if (anyFired)
                return;
        }
    }
    if (switches.mp3() == 1)
        evaluateRule(rules.mp3Rule(), text, registry);
}
