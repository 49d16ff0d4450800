#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const QString kCli = CLIPSNARE_BIN_DIR "/clipsnare-cli";

TEST(CliAdapters, ListsEveryAdapterWithItsIndex)
{
    QProcess cli;
    cli.start(kCli, {"adapters"});
    ASSERT_TRUE(cli.waitForFinished(20000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const QStringList lines = QString::fromLocal8Bit(cli.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    bool sawLoopback = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split('\t');
        ASSERT_EQ(fields.size(), 3) << lines[i].toStdString();
        EXPECT_EQ(fields[0], QString::number(i));
        sawLoopback |= fields[1] == "lo";
    }
    EXPECT_TRUE(sawLoopback);
}

TEST(CliAdapters, MissingLibraryIsReportedAndFails)
{
    QTemporaryDir dir;
    const QString lonely = dir.filePath("clipsnare-cli");
    ASSERT_TRUE(QFile::copy(kCli, lonely));
    QProcess cli;
    cli.start(lonely, {"adapters"});
    ASSERT_TRUE(cli.waitForFinished(20000));
    EXPECT_EQ(cli.exitCode(), 1);
    EXPECT_TRUE(cli.readAllStandardError().contains("libpktwell.so"));
    EXPECT_TRUE(cli.readAllStandardOutput().isEmpty());
}

TEST(CliAdapters, UsageErrors)
{
    for (const QStringList &args : {QStringList{}, QStringList{"nonsense"}, QStringList{"adapters", "extra"}}) {
        QProcess cli;
        cli.start(kCli, args);
        ASSERT_TRUE(cli.waitForFinished(20000));
        EXPECT_EQ(cli.exitCode(), 2) << args.join(' ').toStdString();
        EXPECT_TRUE(cli.readAllStandardError().contains("usage"));
    }
}

} // namespace
