// The rule side of the monitor, on the thread that owns the found-link
// windows.
#pragma once

#include "monitor/site_rules.h"
#include "shell/deployment_config.h"

#include <QByteArray>
#include <QList>
#include <QObject>

// The switches as the settings store holds them. refresh() reads all three
// in one look at the store; the monitor calls it for every request text.
class StoredSwitches : public MonitorSwitches {
public:
    StoredSwitches() { refresh(); }
    void refresh();
    double flv() override { return flv_; }
    double useForce() override { return useForce_; }
    double mp3() override { return mp3_; }

private:
    double flv_ = 1, useForce_ = 1, mp3_ = 1;
};

SitePatterns sitePatternsFrom(const DeploymentConfig &config);

class LinkMonitor : public QObject {
    Q_OBJECT
public:
    LinkMonitor(const RuleTable &rules, StoredSwitches &switches, FoundLinkRegistry &registry,
                QObject *parent = nullptr);

public slots:
    void processRequestTexts(const QList<QByteArray> &texts);

private:
    const RuleTable &rules_;
    StoredSwitches &switches_;
    FoundLinkRegistry &registry_;
};
