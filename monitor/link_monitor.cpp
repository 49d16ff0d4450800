#include "monitor/link_monitor.h"

#include "platform/lenient_number.h"
#include "shell/settings_store.h"

void StoredSwitches::refresh()
{
    static const QString application = QStringLiteral("Vexlund Clipsnare Alpha");
    static const QString section = QStringLiteral("Settings");
    static const QString on = QStringLiteral("1");
    const SettingsSnapshot store(application);
    flv_ = leadingNumber(store.value(section, QStringLiteral("MFLV"), on));
    useForce_ = leadingNumber(store.value(section, QStringLiteral("Use Force"), on));
    mp3_ = leadingNumber(store.value(section, QStringLiteral("MP3 Stream"), on));
}

SitePatterns sitePatternsFrom(const DeploymentConfig &config)
{
    SitePatterns p;
    for (std::size_t n = 1; n < p.rules.size(); ++n)
        p.rules[n] = config.rules[n].toLatin1().toStdString();
    p.rule7Label = config.rule7Label.toStdString();
    p.rule10Label = config.rule10Label.toStdString();
    return p;
}

LinkMonitor::LinkMonitor(const RuleTable &rules, StoredSwitches &switches, FoundLinkRegistry &registry,
                         QObject *parent)
    : QObject(parent), rules_(rules), switches_(switches), registry_(registry)
{
}

void LinkMonitor::processRequestTexts(const QList<QByteArray> &texts)
{
    for (const QByteArray &text : texts) {
        switches_.refresh();
        ::processRequestText(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), rules_,
                             switches_, registry_);
    }
}
