// Stand-ins for the windows and the settings store in rule tests.
#pragma once

#include "monitor/site_rules.h"

#include <set>
#include <string>
#include <vector>

struct RecordingRegistry : FoundLinkRegistry {
    bool isOpen(const std::string &link) const override { return openLinks.contains(link); }
    void open(const LinkOffer &offer) override
    {
        opened.push_back(offer);
        openLinks.insert(offer.link);
    }
    std::vector<LinkOffer> opened;
    std::set<std::string> openLinks;
};

struct FixedSwitches : MonitorSwitches {
    FixedSwitches(double flvValue, double forceValue, double mp3Value) : f(flvValue), u(forceValue), m(mp3Value) {}
    double flv() override { return f; }
    double useForce() override { return u; }
    double mp3() override { return m; }
    double f, u, m;
};

// Host patterns of the tests' own, one per rule.
inline SitePatterns testPatterns()
{
    SitePatterns p;
    p.rules = {"",
               "megasite.com", ".vidsrv.net", ".tubesite", "pub.wire.example", ".spacecdn.example",
               "movies.space.example", "cn.station.example", "video.gamesite.example", "flash.roo.example",
               ".cafe.example", "ifilmsite", ".catalog.msn.example", ".stream.aol.example", ".vision.ameba.example",
               "flash.revver.example", ".mofile.example", "novatube.example", "veohsite", "pornsite.example",
               "dmsecond.example", "dmsite.example", "free.guba.example", "dl.redsite.example", ".rotic.example",
               "cache.video.example", "megavid.example"};
    p.rule7Label = "STATION.EXAMPLE";
    p.rule10Label = "Cafe Site";
    return p;
}

inline std::string request(const std::string &host, const std::string &target, const std::string &extraHeaders = "",
                           const std::string &version = "HTTP/1.1")
{
    return "GET " + target + " " + version + "\r\nHost: " + host + "\r\nUser-Agent: test\r\n" + extraHeaders + "\r\n";
}
