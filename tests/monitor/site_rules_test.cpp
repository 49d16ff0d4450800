#include "monitor_fakes.h"

#include <gtest/gtest.h>

namespace {

struct RuleCase {
    int rule;
    std::string text;
    std::string label;
    std::string link;
};

std::vector<RuleCase> firingCases()
{
    return {
        {1, request("www.megasite.com", "/files/abc/v.flv"), "Mega Porn FLV URL", "http://www.megasite.com/files/abc/v.flv"},
        {2, request("r3.vidsrv.net", "/videoplayback?id=5&itag=34"), "Youtube", "http://r3.vidsrv.net/videoplayback?id=5&itag=34"},
        {3, request("cache1.tubesite.com", "/get_video?id=7"), "Youtube", "http://cache1.tubesite.com/get_video?id=7"},
        {4, request("pub.wire.example", "/clips/a.flv"), "Spank Wire", "http://pub.wire.example/clips/a.flv"},
        {5, request("x.spacecdn.example", "/m/1.flv"), "MY Space FLV", "http://x.spacecdn.example/m/1.flv"},
        {6, request("movies.space.example", "/2.flv"), "MYSpace Movies", "http://movies.space.example/2.flv"},
        {7, request("cn.station.example", "/3.flv"), "STATION.EXAMPLE [CBS TV]", "http://cn.station.example/3.flv"},
        {8, request("video.gamesite.example", "/4.flv"), "Game Spot", "http://video.gamesite.example/4.flv"},
        {9, request("flash.roo.example", "/5.flv?t=1"), "ROO TV", "http://flash.roo.example/5.flv?t=1"},
        {10, request("media.cafe.example", "/6.flv"), "Cafe Site", "http://media.cafe.example/6.flv"},
        {11, request("ifilmsite.example", "/7.flv"), "IFLIM VIDEO", "http://ifilmsite.example/7.flv"},
        {12, request("a.catalog.msn.example", "/8.flv"), "MSN VIDEO", "http://a.catalog.msn.example/8.flv"},
        {13, request("b.stream.aol.example", "/9.flv"), "UNCUT VIDEO [AOL]", "http://b.stream.aol.example/9.flv"},
        {14, request("c.vision.ameba.example", "/10.flv"), "VISION AMEBA", "http://c.vision.ameba.example/10.flv"},
        {15, request("flash.revver.example", "/11.flv"), "REVVER FLV", "http://flash.revver.example/11.flv"},
        {16, request("d.mofile.example", "/12.flv"), "MOFILE FLV", "http://d.mofile.example/12.flv"},
        {17, request("www.novatube.example", "/13.flv"), "Super Nova Tube", "http://www.novatube.example/13.flv"},
        {18, request("content.veohsite.com", "/Vpreview/abc.flv"), "VEOH FLV URL", "http://content.veohsite.com/Vpreview/abc.flv"},
        {18, request("content.veohsite.com", "/Vpreview/1.0.flv", "", "HTTP/1.0"), "VEOH FLV URL", "http://content.veohsite.com/Vpreview/1.0.flv"},
        {19, request("cdn.pornsite.example", "/e/xyz/video.flv?start=0"), "You Porn FLV Link", "http://cdn.pornsite.example/e/xyz/video.flv"},
        {20, request("www.dmsecond.example", "/player?playfiles=http://media.dm/v1.flv&x=1"), "Daily Motion Video FLV Link", "http://media.dm/v1.flv"},
        {20, request("www.dmsecond.example", "/videos/abc.flv&x=1"), "Daily Motion Video FLV Link", "http://os/abc.flv"},
        {21, request("www.dmsite.example", "/get/15/abc.flv"), "Daily Motion Video FLV Link", "http://www.dmsite.example/get/15/abc.flv"},
        {22, request("free.guba.example", "/download/flash/1/2.flv"), "Guba Video FLV Link", "http://free.guba.example/download/flash/1/2.flv"},
        {23, request("dl.redsite.example", "/_videos/9.flv"), "Redtube Video FLV Link", "http://dl.redsite.example/_videos/9.flv"},
        {24, request("www.rotic.example", "/Site2/Display/StatsRecorder.php?vid=3"), "Mega Rotic FLV URL", "http://www.rotic.example/Site2/Display/StatsRecorder.php?vid=3"},
        {25, request("a", "/x") + "HTTP/1.1 303 See Other\r\nLocation: http://cache.video.example/get_video?video_id=abc\r\n\r\n", "Google Video FLV Link", "http://cache.video.example/get_video?video_id=abc"},
        {26, request("www.megavid.example", "/files/9/z.flv"), "Mega Video FLV URL", "http://www.megavid.example/files/9/z.flv"},
    };
}

// Site rules only: the forced and MP3 rules are off.
std::vector<LinkOffer> siteRulesOffer(const std::string &text, const SitePatterns &patterns = testPatterns())
{
    const RuleTable table(patterns);
    RecordingRegistry registry;
    FixedSwitches switches(1, 0, 0);
    processRequestText(text, table, switches, registry);
    return registry.opened;
}

TEST(SiteRules, EachRuleFiresWithItsExactLink)
{
    for (const RuleCase &c : firingCases()) {
        const auto opened = siteRulesOffer(c.text);
        ASSERT_EQ(opened.size(), 1u) << "rule " << c.rule;
        EXPECT_EQ(opened[0].label, c.label) << "rule " << c.rule;
        EXPECT_EQ(opened[0].link, c.link) << "rule " << c.rule;
        EXPECT_EQ(opened[0].colour, 0u);
        const bool replay = c.rule == 2 || c.rule == 3;
        EXPECT_EQ(opened[0].replay.has_value(), replay) << "rule " << c.rule;
        if (replay) {
            EXPECT_EQ(*opened[0].replay, c.text);
        }
        const bool requestKind = (c.rule >= 2 && c.rule <= 17);
        EXPECT_EQ(opened[0].mp3, requestKind ? std::optional(false) : std::nullopt) << "rule " << c.rule;
    }
}

TEST(SiteRules, EmptyPatternNeverFires)
{
    for (const RuleCase &c : firingCases()) {
        SitePatterns patterns = testPatterns();
        patterns.rules[static_cast<std::size_t>(c.rule)].clear();
        EXPECT_TRUE(siteRulesOffer(c.text, patterns).empty()) << "rule " << c.rule;
    }
}

TEST(SiteRules, NearMisses)
{
    struct { const char *why; std::string text; } cases[] = {
        {"lower-case get", "get /m/1.flv HTTP/1.1\r\nHost: x.spacecdn.example\r\n\r\n"},
        {"host in the wrong case", request("X.SPACECDN.EXAMPLE", "/m/1.flv")},
        {"path marker missing", request("x.spacecdn.example", "/m/1.flv?x=1")},
        {"rule 2 without its extra marker", request("r3.vidsrv.net", "/video?id=5")},
        {"rule 2 over HTTP/1.0", request("r3.vidsrv.net", "/videoplayback?id=5", "", "HTTP/1.0")},
        {"rule 3 without cache", request("www.tubesite.com", "/get_video?id=7")},
        {"rule 4 without .flv", request("pub.wire.example", "/a.mp4")},
        {"rule 11 marker needs Host: right before", request("www.ifilmsite.example", "/7.flv")},
        {"rule 18 without /Vpreview", request("content.veohsite.com", "/vpreview/abc.flv")},
        {"rule 19 without .flv", request("cdn.pornsite.example", "/e/xyz/video.mp4")},
        {"rule 20 without .flv&", request("www.dmsecond.example", "/player?playfiles=v.flv")},
        {"rule 25 without its 303", request("a", "/x") + "Location: http://cache.video.example/get_video?video_id=abc\r\n"},
    };
    for (const auto &c : cases)
        EXPECT_TRUE(siteRulesOffer(c.text).empty()) << c.why;
}

TEST(SiteRules, UndefinedCutsFireButOfferNothing)
{
    const RuleTable table(testPatterns());
    auto rule = [&](int number) {
        for (const SiteRule &r : table.siteRules())
            if (r.number == number)
                return r;
        ADD_FAILURE() << "no rule " << number;
        return SiteRule{};
    };
    struct { int rule; std::string text; } cases[] = {
        {1, request("www.megasite.com", "/myfiles/v.flv")},                                  // "files/" but no "/files/"
        {1, request("www.megasite.com", "/a", "Referer: http://x/files/y\r\n")},              // end before start
        {26, "GET /files/x HTTP/1.1\r\nHost: www.megavid.example"},                           // host line never ends
        {25, "GET /x HTTP/1.1\r\nHTTP/1.1 303\r\nLocation: cache.video.example/get_video?video_id=1"},
    };
    for (const auto &c : cases) {
        RecordingRegistry registry;
        const RuleOutcome outcome = evaluateRule(rule(c.rule), c.text, registry);
        EXPECT_TRUE(outcome.fired) << c.text;
        EXPECT_FALSE(outcome.endsFrame);
        EXPECT_TRUE(registry.opened.empty()) << c.text;
    }
}

TEST(SiteRules, SwitchSemantics)
{
    const RuleTable table(testPatterns());
    // Rule 20 gives the playfiles value; the request rules would give host + target.
    const std::string both = request("www.dmsecond.example", "/p?playfiles=http://m/v.flv&a=b.mp3");
    const std::string forcedAndMp3 = request("plain.example", "/v.flv", "X-Song: /s.mp3 HTTP\r\n");
    struct Case {
        const char *why;
        std::string text;
        double flv, force, mp3;
        std::vector<std::string> labels;
    } cases[] = {
        {"forced on: a fired site rule skips the MP3 rule", both, 1, 1, 1, {"Daily Motion Video FLV Link"}},
        {"forced off: the MP3 rule runs as well", both, 1, 0, 1, {"Daily Motion Video FLV Link", "MP3 Stream"}},
        {"FLV monitoring off: only the MP3 rule", both, 0, 1, 1, {"MP3 Stream"}},
        {"a stored 2 is not 1", both, 2, 1, 2, {}},
        {"the forced rule alone", forcedAndMp3, 1, 1, 0, {"Forced Mode !"}},
        {"forced fired: MP3 skipped", forcedAndMp3, 1, 1, 1, {"Forced Mode !"}},
        {"forced needs MFLV", forcedAndMp3, 0, 1, 1, {"MP3 Stream"}},
    };
    for (const Case &c : cases) {
        RecordingRegistry registry;
        FixedSwitches switches(c.flv, c.force, c.mp3);
        processRequestText(c.text, table, switches, registry);
        std::vector<std::string> labels;
        for (const LinkOffer &o : registry.opened)
            labels.push_back(o.label);
        EXPECT_EQ(labels, c.labels) << c.why;
    }
}

TEST(SiteRules, ForcedAndMp3Offers)
{
    const RuleTable table(testPatterns());
    RecordingRegistry registry;
    FixedSwitches switches(1, 1, 1);
    processRequestText(request("plain.example", "/v.flv"), table, switches, registry);
    processRequestText(request("plain.example", "/s.mp3"), table, switches, registry);
    ASSERT_EQ(registry.opened.size(), 2u);
    EXPECT_EQ(registry.opened[0], (LinkOffer{"Forced Mode !", "http://plain.example/v.flv", 255, false, std::nullopt}));
    EXPECT_EQ(registry.opened[1], (LinkOffer{"MP3 Stream", "http://plain.example/s.mp3", 65280, true, std::nullopt}));
}

TEST(SiteRules, LinksAlreadyOpen)
{
    const RuleTable table(testPatterns());
    FixedSwitches allOn(1, 1, 1);
    FixedSwitches forceOff(1, 0, 1);

    // A site rule and the forced rule give the same link: one window.
    RecordingRegistry once;
    processRequestText(request("x.spacecdn.example", "/m/1.flv"), table, allOn, once);
    ASSERT_EQ(once.opened.size(), 1u);
    EXPECT_EQ(once.opened[0].label, "MY Space FLV");
    processRequestText(request("x.spacecdn.example", "/m/1.flv"), table, allOn, once);
    EXPECT_EQ(once.opened.size(), 1u) << "found again while open";
    once.openLinks.clear(); // the user closed it
    processRequestText(request("x.spacecdn.example", "/m/1.flv"), table, allOn, once);
    EXPECT_EQ(once.opened.size(), 2u) << "found again after its window closed";

    // A cut rule that finds its link open ends the frame: no MP3 rule.
    const std::string both = request("www.dmsecond.example", "/p?playfiles=http://m/v.flv&a=b.mp3");
    RecordingRegistry cutOpen;
    cutOpen.openLinks.insert("http://m/v.flv");
    processRequestText(both, table, forceOff, cutOpen);
    EXPECT_TRUE(cutOpen.opened.empty());

    // A request rule that finds its link open lets the next rules run (rule 19 here).
    const std::string twoRules =
        request("b.stream.aol.example", "/e/v.flv?s=1", "Referer: http://pornsite.example/\r\n");
    RecordingRegistry requestOpen;
    requestOpen.openLinks.insert("http://b.stream.aol.example/e/v.flv?s=1");
    processRequestText(twoRules, table, forceOff, requestOpen);
    ASSERT_EQ(requestOpen.opened.size(), 1u);
    EXPECT_EQ(requestOpen.opened[0].label, "You Porn FLV Link");
    EXPECT_EQ(requestOpen.opened[0].link, "http://b.stream.aol.example/e/v.flv");
}

} // namespace
