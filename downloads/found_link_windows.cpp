#include "downloads/found_link_windows.h"

#include <QLabel>
#include <QLineEdit>

namespace clipsnare {

FoundLinkWindows::FoundLinkWindows(DownloadWindows &downloads, DeploymentConfig config)
    : downloads_(downloads), config_(std::move(config))
{
}

bool FoundLinkWindows::isOpen(const std::string &link) const
{
    const QString text = QString::fromLatin1(link.data(), static_cast<qsizetype>(link.size()));
    for (const QPointer<Form1> &window : FoundLinks)
        if (window && window->isVisible() && window->dlink->text() == text)
            return true;
    return false;
}

void FoundLinkWindows::open(const LinkOffer &offer)
{
    auto *window = new Form1(downloads_, config_);
    FoundLinks.append(window);
    ++FoundLinkCount;
    if (offer.colour != 0) {
        QPalette p = window->sitename->palette();
        p.setColor(QPalette::WindowText, QColor(static_cast<int>(offer.colour & 0xFF),
                                                static_cast<int>((offer.colour >> 8) & 0xFF),
                                                static_cast<int>((offer.colour >> 16) & 0xFF)));
        window->sitename->setPalette(p);
    }
    window->sitename->setText(QString::fromStdString(offer.label));
    window->dlink->setText(QString::fromLatin1(offer.link.data(), static_cast<qsizetype>(offer.link.size())));
    if (offer.replay) {
        window->ReplayRequest = true;
        window->CapturedRequest = QByteArray(offer.replay->data(), static_cast<qsizetype>(offer.replay->size()));
    }
    window->show();
    if (offer.mp3)
        window->IsMp3 = *offer.mp3;
    window->Timer2->start();
}

} // namespace clipsnare
