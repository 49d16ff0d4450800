// The found-link windows as the monitor's registry: a link is open while a
// window that shows it is open.
#pragma once

#include "downloads/form1.h"
#include "monitor/link_offer.h"

#include <QList>
#include <QPointer>

namespace clipsnare {

class FoundLinkWindows : public FoundLinkRegistry {
public:
    FoundLinkWindows(DownloadWindows &downloads, DeploymentConfig config);

    bool isOpen(const std::string &link) const override;
    void open(const LinkOffer &offer) override;

    // Every window opened, oldest first; a closed one stays as an empty entry.
    QList<QPointer<Form1>> FoundLinks;
    int FoundLinkCount = 0;

private:
    DownloadWindows &downloads_;
    DeploymentConfig config_;
};

} // namespace clipsnare
