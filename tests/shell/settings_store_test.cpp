#include "shell/settings_store.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

TEST(SettingsStore, FreshStoreGivesDefaults)
{
    EXPECT_EQ(ReadSetting("Vexlund Clipsnare Alpha", "Settings", "MFLV", "1"), "1");
    EXPECT_EQ(ReadSetting("VXL", "Adapter", "Default", "0"), "0");
    EXPECT_TRUE(SettingBoolean(ReadSetting("Clipsnare", "FirstOpen", "Value", BooleanText(true)), false));
}

TEST(SettingsStore, WritesLandInThePerUserFile)
{
    WriteSetting("Vexlund Clipsnare Alpha", "Settings", "Use Force", "0");
    WriteSetting("Clipsnare", "Last Open", "Now()", "2026-12-11 10:00:00");
    WriteSetting("Clipsnare", "FirstOpen", "Value", BooleanText(false));
    const QString path = qEnvironmentVariable("XDG_CONFIG_HOME") + "/vexlund/Vexlund Clipsnare Alpha.ini";
    EXPECT_EQ(settingsFilePath("Vexlund Clipsnare Alpha"), path);
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(ReadSetting("Vexlund Clipsnare Alpha", "Settings", "Use Force", "1"), "0");
    EXPECT_EQ(ReadSetting("Vexlund Clipsnare Alpha", "Settings", "MFLV", "1"), "1");
    EXPECT_EQ(ReadSetting("Clipsnare", "Last Open", "Now()", ""), "2026-12-11 10:00:00");
    EXPECT_FALSE(SettingBoolean(ReadSetting("Clipsnare", "FirstOpen", "Value", "True"), true));
}

// Another process writes the file behind our back; the next read sees it.
TEST(SettingsStore, ReadsSeeOtherWriters)
{
    WriteSetting("VXL", "Adapter", "Default", "1");
    ASSERT_EQ(ReadSetting("VXL", "Adapter", "Default", "0"), "1");
    for (const char *value : {"2", "3", "4"}) {
        QSettings other(settingsFilePath("VXL"), QSettings::IniFormat);
        other.setValue("Adapter/Default", value);
        other.sync();
        EXPECT_EQ(ReadSetting("VXL", "Adapter", "Default", "0"), value);
    }
    QFile::remove(settingsFilePath("VXL"));
    EXPECT_EQ(ReadSetting("VXL", "Adapter", "Default", "0"), "0") << "a removed file gives defaults again";
}

TEST(SettingsStore, JunkOrUnreadableFilesGiveDefaults)
{
    const QString path = settingsFilePath("Vexlund Clipsnare Alpha");
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile junk(path);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray("\x00\xff\xfe[[[=\n==\x01", 13));
    junk.close();
    EXPECT_EQ(ReadSetting("Vexlund Clipsnare Alpha", "Settings", "MFLV", "1"), "1");

    QFile::remove(path);
    QDir().mkpath(path); // a folder where the file should be
    EXPECT_EQ(ReadSetting("Vexlund Clipsnare Alpha", "Settings", "MFLV", "1"), "1");
    WriteSetting("Vexlund Clipsnare Alpha", "Settings", "MFLV", "0"); // must not crash
}

} // namespace
