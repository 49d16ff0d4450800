// The rule side of the monitor, on the thread that owns the found-link
// windows.
#pragma once

#include "monitor/site_rules.h"
#include "shell/deployment_config.h"

#include <QByteArray>
#include <QObject>

// The switches as the settings store holds them, read afresh every time.
class StoredSwitches : public MonitorSwitches {
public:
    double flv() override;
    double useForce() override;
    double mp3() override;
};

SitePatterns sitePatternsFrom(const DeploymentConfig &config);

class LinkMonitor : public QObject {
    Q_OBJECT
public:
    LinkMonitor(const RuleTable &rules, MonitorSwitches &switches, FoundLinkRegistry &registry,
                QObject *parent = nullptr);

public slots:
    void processRequestText(const QByteArray &text);

private:
    const RuleTable &rules_;
    MonitorSwitches &switches_;
    FoundLinkRegistry &registry_;
};
