// Hosts and site host patterns: values of the deployment, not of the code.
// All programs read one INI file: $CLIPSNARE_DEPLOYMENT, or deployment.ini
// beside the executable. Keys that are absent keep their built-in defaults;
// an empty value switches off what uses it.
#pragma once

#include <QString>

#include <array>

struct DeploymentConfig {
    QString updateHost;  // host[:port]
    QString webSiteHost; // host[:port]
    QString makerEmail;
    QString searchHost;  // host[:port]

    QString youtubeSiteName;
    QString youtubeSiteHost;
    QString youtubeVideoHost;

    std::array<QString, 27> rules; // rules[1] .. rules[26]; rules[0] unused
    QString rule7Label;
    QString rule10Label;

    // The update host without its port: what the own-traffic screen looks for.
    QString updateHostName() const;

    static DeploymentConfig builtIn();

    // Reads `path` over the built-in defaults. A file that is missing or
    // cannot be parsed leaves the defaults and says why in `warning`.
    static DeploymentConfig load(const QString &path, QString *warning = nullptr);

    // $CLIPSNARE_DEPLOYMENT, or deployment.ini beside the running executable.
    static QString defaultPath();
};
