#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What a rule hands to the found-link registry. The label is UTF-8 (it comes
// from the program or its configuration); the link and the replay text are
// frame text, one byte per character (Latin-1).
struct LinkOffer {
    std::string label;
    std::string link;
    std::uint32_t colour = 0;         // 0x00BBGGRR, 0 = the window's own colour
    std::optional<bool> mp3;          // set by request and replay rules only
    std::optional<std::string> replay; // the whole request text, for replay rules

    bool operator==(const LinkOffer &) const = default;
};

// The found-link windows, as the monitor sees them.
class FoundLinkRegistry {
public:
    virtual ~FoundLinkRegistry() = default;
    // True when a window that is still open shows exactly this link.
    virtual bool isOpen(const std::string &link) const = 0;
    virtual void open(const LinkOffer &offer) = 0;
};

enum class OfferResult { Opened, AlreadyOpen };

inline OfferResult OfferFoundLink(FoundLinkRegistry &registry, const LinkOffer &offer)
{
    if (registry.isOpen(offer.link))
        return OfferResult::AlreadyOpen;
    registry.open(offer);
    return OfferResult::Opened;
}
