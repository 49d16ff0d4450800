#include "monitor/link_monitor.h"
#include "shell/deployment_config.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

QString writeFile(const QTemporaryDir &dir, const QByteArray &content)
{
    const QString path = dir.filePath("deployment.ini");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(content);
    return path;
}

TEST(DeploymentConfig, MissingFileKeepsDefaultsWithAWarning)
{
    QString warning;
    const DeploymentConfig c = DeploymentConfig::load("/nonexistent/deployment.ini", &warning);
    EXPECT_FALSE(warning.isEmpty());
    EXPECT_EQ(c.updateHost, DeploymentConfig::builtIn().updateHost);
    EXPECT_EQ(c.rules, DeploymentConfig::builtIn().rules);
}

TEST(DeploymentConfig, MalformedFileKeepsDefaultsWithAWarning)
{
    QTemporaryDir dir;
    QString warning;
    static const char junk[] = "\x00\x01\xff[Servers\nUpdateHost=evil\n[[[\x00";
    const DeploymentConfig c = DeploymentConfig::load(writeFile(dir, QByteArray(junk, sizeof junk - 1)), &warning);
    EXPECT_TRUE(warning.contains("malformed")) << warning.toStdString();
    EXPECT_EQ(c.updateHost, DeploymentConfig::builtIn().updateHost);
}

TEST(DeploymentConfig, FileOverridesOnlyWhatItNames)
{
    QTemporaryDir dir;
    QString warning;
    const DeploymentConfig c = DeploymentConfig::load(
        writeFile(dir, "[Servers]\nUpdateHost=upd.example:8080\n[Sites]\nRule5=.cdn.example\nRule11=\nRule7Label=TV.EXAMPLE\n"),
        &warning);
    EXPECT_TRUE(warning.isEmpty()) << warning.toStdString();
    EXPECT_EQ(c.updateHost, "upd.example:8080");
    EXPECT_EQ(c.updateHostName(), "upd.example");
    EXPECT_EQ(c.rules[5], ".cdn.example");
    EXPECT_TRUE(c.rules[11].isEmpty());
    EXPECT_EQ(c.rules[6], DeploymentConfig::builtIn().rules[6]);
    EXPECT_EQ(c.webSiteHost, DeploymentConfig::builtIn().webSiteHost);

    const RuleTable table(sitePatternsFrom(c));
    bool rule11 = false;
    std::string rule7Label;
    for (const SiteRule &r : table.siteRules()) {
        rule11 |= r.number == 11;
        if (r.number == 7)
            rule7Label = r.request.label;
    }
    EXPECT_FALSE(rule11) << "an emptied pattern switches its rule off";
    EXPECT_EQ(rule7Label, "TV.EXAMPLE [CBS TV]");
}

TEST(DeploymentConfig, EnvironmentNamesTheFile)
{
    qputenv("CLIPSNARE_DEPLOYMENT", "/somewhere/else.ini");
    EXPECT_EQ(DeploymentConfig::defaultPath(), "/somewhere/else.ini");
    qunsetenv("CLIPSNARE_DEPLOYMENT");
    EXPECT_TRUE(DeploymentConfig::defaultPath().endsWith("/deployment.ini"));
}

} // namespace

namespace {

TEST(DeploymentConfig, ShippedFileHoldsTheBuiltInValues)
{
    QString warning;
    const DeploymentConfig shipped = DeploymentConfig::load(CLIPSNARE_BIN_DIR "/deployment.ini", &warning);
    const DeploymentConfig builtIn = DeploymentConfig::builtIn();
    EXPECT_TRUE(warning.isEmpty());
    EXPECT_EQ(shipped.rules, builtIn.rules);
    EXPECT_EQ(shipped.updateHost, builtIn.updateHost);
    EXPECT_EQ(shipped.rule10Label, builtIn.rule10Label);
    EXPECT_EQ(shipped.youtubeVideoHost, builtIn.youtubeVideoHost);
}

} // namespace
