#include "monitor/link_monitor.h"

#include "shell/settings_store.h"

namespace {

double storedSwitch(const char *key)
{
    return SettingNumber(ReadSetting("Vexlund Clipsnare Alpha", "Settings", key, "1"));
}

} // namespace

double StoredSwitches::flv() { return storedSwitch("MFLV"); }
double StoredSwitches::useForce() { return storedSwitch("Use Force"); }
double StoredSwitches::mp3() { return storedSwitch("MP3 Stream"); }

SitePatterns sitePatternsFrom(const DeploymentConfig &config)
{
    SitePatterns p;
    for (std::size_t n = 1; n < p.rules.size(); ++n)
        p.rules[n] = config.rules[n].toLatin1().toStdString();
    p.rule7Label = config.rule7Label.toStdString();
    p.rule10Label = config.rule10Label.toStdString();
    return p;
}

LinkMonitor::LinkMonitor(const RuleTable &rules, MonitorSwitches &switches, FoundLinkRegistry &registry,
                         QObject *parent)
    : QObject(parent), rules_(rules), switches_(switches), registry_(registry)
{
}

void LinkMonitor::processRequestText(const QByteArray &text)
{
    ::processRequestText(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), rules_, switches_,
                       registry_);
}
