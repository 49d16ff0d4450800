// clipsnare-cli fetch: the downloader without a window.
#include "shell/cli/commands.h"

#include "downloads/download_client.h"
#include "shell/deployment_config.h"

#include <QCoreApplication>
#include <QFile>

#include <unistd.h>

#include <cstdio>

namespace cli {

namespace {

constexpr const char *kFetchUsage =
    "usage: clipsnare-cli fetch URL -o FILE [--replay REQUEST_FILE] [--timeout SECONDS] [--deployment FILE]\n"
    "  -o FILE            where the body goes (replaced)\n"
    "  --replay FILE      send this captured request first, unchanged\n"
    "  --timeout SECONDS  give up on a connection that stays silent this long (default 60)\n"
    "  --deployment FILE  host configuration (default: $CLIPSNARE_DEPLOYMENT, or\n"
    "                     deployment.ini beside the program)\n";

void printLine(const QString &text)
{
    std::fputs((text + '\n').toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

} // namespace

int fetch(const QStringList &arguments)
{
    QString url, output, replayFile, deploymentPath;
    int timeoutSeconds = 60;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        const bool takesValue = a == "-o" || a == "--replay" || a == "--timeout" || a == "--deployment";
        if (takesValue && i + 1 >= arguments.size())
            return usageError("fetch", kFetchUsage, a + " needs a value");
        if (a == "-o") {
            output = arguments[++i];
        } else if (a == "--replay") {
            replayFile = arguments[++i];
        } else if (a == "--deployment") {
            deploymentPath = arguments[++i];
        } else if (a == "--timeout") {
            bool ok = false;
            timeoutSeconds = arguments[++i].toInt(&ok);
            if (!ok || timeoutSeconds <= 0)
                return usageError("fetch", kFetchUsage, "--timeout takes a whole number of seconds above 0");
        } else if (a.startsWith('-') || !url.isEmpty()) {
            return usageError("fetch", kFetchUsage, "unexpected argument " + a);
        } else {
            url = a;
        }
    }
    if (url.isEmpty() || output.isEmpty())
        return usageError("fetch", kFetchUsage, url.isEmpty() ? "no URL" : "no output file (-o)");

    const DeploymentConfig config = loadDeployment(deploymentPath);

    DownloadClient client;
    client.setSiteHosts(config.youtubeSiteHost, config.youtubeVideoHost);
    client.setConnectTimeout(timeoutSeconds * 1000);
    client.setIdleTimeout(timeoutSeconds * 1000);
    if (!replayFile.isEmpty()) {
        QFile replay(replayFile);
        if (!replay.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s: %s\n", replayFile.toLocal8Bit().constData(),
                         replay.errorString().toLocal8Bit().constData());
            return kExitFailure;
        }
        client.setReplay(replay.readAll());
    }
    QFile file(output);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot write %s: %s\n", output.toLocal8Bit().constData(),
                     file.errorString().toLocal8Bit().constData());
        return kExitFailure;
    }

    // On a terminal a progress line is redrawn in place as the window would
    // refresh it; status texts are printed as they change.
    const bool terminal = isatty(STDOUT_FILENO);
    bool progressShown = false;
    QString lastStatus;
    QString lastProgress;
    QObject::connect(&client, &DownloadClient::viewChanged, [&] {
        const DownloadView &v = client.view();
        if (v.status != lastStatus) {
            lastStatus = v.status;
            if (progressShown)
                std::fputs("\r\033[K", stdout);
            progressShown = false;
            printLine(v.status);
        }
        const QString progress = (v.lengthKnown ? v.loaded : v.bytes) + "  " + v.speed + "  " + v.remaining
                                 + (v.lengthKnown ? "  " + v.done : QString());
        if (terminal && progress != lastProgress && client.bytesReceived() > 0) {
            lastProgress = progress;
            std::fputs(("\r\033[K" + progress).toLocal8Bit().constData(), stdout);
            std::fflush(stdout);
            progressShown = true;
        }
    });
    QObject::connect(&client, &DownloadClient::message,
                     [](const QString &text) { std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData()); });
    QObject::connect(&client, &DownloadClient::ended, QCoreApplication::instance(), &QCoreApplication::quit,
                     Qt::QueuedConnection);

    if (!client.start(url, &file))
        return kExitFailure;
    if (client.outcome() == DownloadOutcome::Running)
        QCoreApplication::exec();
    if (progressShown)
        std::fputs("\n", stdout);
    file.close();
    if (client.outcome() != DownloadOutcome::Done) {
        std::fprintf(stderr, "%s\n", client.view().status.toLocal8Bit().constData());
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace cli
