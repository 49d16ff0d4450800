// The ordered table of site rules, the forced rule and the MP3 rule, and how
// one request text runs through them.
#pragma once

#include "monitor/link_offer.h"
#include "monitor/request_rules.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

enum class RuleKind { Request, Replay, Cut, Value };

// A rule that recognises its request by a list of markers and cuts its link
// (or, for a value rule, a value without the host) between two positions.
struct CutRule {
    std::string label;
    std::vector<std::string> markers; // all must occur
    bool mustBeginWithGet = false;
    std::string startMarker;
    std::size_t startOffset = 0;
    std::vector<std::string> endMarkers; // the first one present gives the end
    std::size_t endOffset = 0;
    bool endAtLineEnd = false; // end: the first CR LF at or after the start
};

struct SiteRule {
    int number = 0;
    RuleKind kind = RuleKind::Request;
    RequestRule request; // Request and Replay rules
    CutRule cut;         // Cut and Value rules
};

// Host patterns of rules 1..26 (index 0 unused) and the configured labels.
struct SitePatterns {
    std::array<std::string, 27> rules;
    std::string rule7Label;
    std::string rule10Label;
};

struct RuleOutcome {
    bool fired = false;
    bool endsFrame = false; // a cut or value rule found its link already open
};

class RuleTable {
public:
    explicit RuleTable(const SitePatterns &patterns);

    // Rules 1..26 in evaluation order; a rule whose host pattern is empty is
    // left out, since it must never fire.
    const std::vector<SiteRule> &siteRules() const { return siteRules_; }
    const SiteRule &forcedRule() const { return forced_; }
    const SiteRule &mp3Rule() const { return mp3_; }

private:
    std::vector<SiteRule> siteRules_;
    SiteRule forced_;
    SiteRule mp3_;
};

RuleOutcome evaluateRule(const SiteRule &rule, std::string_view text, FoundLinkRegistry &registry);

// The three monitoring switches as stored numbers; read for every request
// text so that a change takes effect with the next one.
class MonitorSwitches {
public:
    virtual ~MonitorSwitches() = default;
    virtual double flv() = 0;      // "MFLV"
    virtual double useForce() = 0; // "Use Force"
    virtual double mp3() = 0;      // "MP3 Stream"
};

// Runs one request text through the rule groups the switches allow.
void processRequestText(std::string_view text, const RuleTable &rules, MonitorSwitches &switches,
                        FoundLinkRegistry &registry);
