#include "shell/deployment_config.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

QString DeploymentConfig::updateHostName() const
{
    return updateHost.section(':', 0, 0);
}

DeploymentConfig DeploymentConfig::builtIn()
{
    DeploymentConfig c;
    c.updateHost = "update.vexlund.com";
    c.webSiteHost = "www.vexlund.com";
    c.makerEmail = "support@vexlund.com";
    c.searchHost = "www.vexlund.com";
    c.youtubeSiteName = "youtube";
    c.youtubeSiteHost = "youtube.com"; // compared after the downloader drops "www."
    c.youtubeVideoHost = "v1.cache.googlevideo.com";
    c.rules = {
        QString(),
        "megaporn.com",            // 1  registered domain
        ".googlevideo.com",        // 2  video servers' domain suffix
        ".youtube",                // 3  dot + first part of the site's domain
        "static.spankwire.com",    // 4  full host name, used as the extra marker
        ".myspacecdn.com",         // 5  content network suffix
        "movies.myspace.com",      // 6  movie server
        "cbsvideo.cbs.com",        // 7  station's content server
        "videos.gamespot.com",     // 8  video server
        "flash.roo.com",           // 9  Flash video server
        ".metacafe.com",           // 10 site suffix
        "ifilm",                   // 11 first part of the host name ("Host: " is prefixed)
        ".video.msn.com",          // 12 video catalogue suffix
        ".stream.aol.com",         // 13 streaming servers' suffix
        ".vision.ameba.jp",        // 14 video servers' suffix
        "flash.revver.com",        // 15 Flash server
        ".mofile.com",             // 16 site suffix
        "supernovatube.com",       // 17 registered domain
        "veoh",                    // 18 site's name in lower case
        "youporn.com",             // 19 registered domain
        "dmcdn.net",               // 20 second video site's registered domain
        "dailymotion.com",         // 21 registered domain
        "free.guba.com",           // 22 free video server
        "dl.redtube.com",          // 23 download server
        ".megarotic.com",          // 24 site suffix
        "vp.video.google.com",     // 25 video cache server ("/" is appended)
        "megavideo.com",           // 26 registered domain
    };
    c.rule7Label = "CBS.COM";
    c.rule10Label = "Meta Cafe";
    return c;
}

DeploymentConfig DeploymentConfig::load(const QString &path, QString *warning)
{
    DeploymentConfig c = builtIn();
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile() || !info.isReadable()) {
        if (warning)
            *warning = QStringLiteral("deployment file %1 cannot be read; using built-in defaults").arg(path);
        return c;
    }
    QSettings ini(path, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) {
        if (warning)
            *warning = QStringLiteral("deployment file %1 is malformed; using built-in defaults").arg(path);
        return c;
    }
    auto read = [&ini](const char *key, QString &field) { field = ini.value(key, field).toString().trimmed(); };
    read("Servers/UpdateHost", c.updateHost);
    read("Servers/WebSiteHost", c.webSiteHost);
    read("Servers/MakerEmail", c.makerEmail);
    read("Servers/SearchHost", c.searchHost);
    read("Youtube/SiteName", c.youtubeSiteName);
    read("Youtube/SiteHost", c.youtubeSiteHost);
    read("Youtube/VideoHost", c.youtubeVideoHost);
    for (int n = 1; n <= 26; ++n)
        read(QStringLiteral("Sites/Rule%1").arg(n).toLatin1().constData(), c.rules[static_cast<std::size_t>(n)]);
    read("Sites/Rule7Label", c.rule7Label);
    read("Sites/Rule10Label", c.rule10Label);
    return c;
}

QString DeploymentConfig::defaultPath()
{
    const QString fromEnvironment = qEnvironmentVariable("CLIPSNARE_DEPLOYMENT");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QCoreApplication::applicationDirPath() + "/deployment.ini";
}
