// clipsnare-cli scan: the link monitor without windows.
#include "shell/cli/commands.h"

#include "monitor/capture_loop.h"
#include "monitor/link_monitor.h"
#include "platform/lenient_number.h"
#include "shell/settings_store.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <unordered_set>

namespace cli {

namespace {

constexpr const char *kScanUsage =
    "usage: clipsnare-cli scan [-r FILE | -i ADAPTER] [--deployment FILE] [--json] [--stats]\n"
    "  -r FILE            read a libpcap or pcapng capture file\n"
    "  -i ADAPTER         capture live on ADAPTER (0-based index or device name);\n"
    "                     without -r and -i the stored default adapter is used\n"
    "  --deployment FILE  host patterns and hosts (default: $CLIPSNARE_DEPLOYMENT,\n"
    "                     or deployment.ini beside the program)\n"
    "  --json             one JSON object per link instead of LABEL<TAB>LINK\n"
    "  --stats            at the end of a live capture, print libpcap's counters\n"
    "                     (received, dropped) on standard error\n";

QByteArray jsonString(const QString &text)
{
    QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

// Here every link stays open for the whole run: each is printed once.
class PrintingRegistry : public FoundLinkRegistry {
public:
    explicit PrintingRegistry(bool json) : json_(json) {}
    bool isOpen(const std::string &link) const override { return open_.contains(link); }
    void open(const LinkOffer &offer) override
    {
        open_.insert(offer.link);
        const QString label = QString::fromStdString(offer.label);
        const QString link = QString::fromLatin1(offer.link.data(), static_cast<qsizetype>(offer.link.size()));
        QByteArray line;
        if (json_) {
            line = "{\"label\":" + jsonString(label) + ",\"link\":" + jsonString(link)
                   + ",\"colour\":" + QByteArray::number(offer.colour)
                   + ",\"mp3\":" + (offer.mp3.value_or(false) ? "true" : "false")
                   + ",\"replay\":" + (offer.replay ? "true" : "false") + "}\n";
        } else {
            line = label.toUtf8() + '\t' + link.toUtf8() + '\n';
        }
        std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
        std::fflush(stdout);
    }

private:
    bool json_;
    std::unordered_set<std::string> open_;
};

CaptureLoop *runningLoop = nullptr;

void stopOnSignal(int)
{
    if (runningLoop)
        runningLoop->stop();
}

// Selects ADAPTER (index or name) in the library; empty: the stored default,
// 1-based, chosen the way the main window chooses it.
bool selectAdapter(Pktwell &library, const QString &adapter, QString &why)
{
    const int32_t count = library.init();
    if (count < 0) {
        why = QString::fromLocal8Bit(library.errorDescription().c_str());
        return false;
    }
    if (adapter.isEmpty()) {
        const double stored = leadingNumber(ReadSetting("VXL", "Adapter", "Default", "0"));
        library.setCurrentAdapter(static_cast<int16_t>(stored > 0 ? stored - 1 : -1));
        return true;
    }
    bool numeric = false;
    int index = adapter.toInt(&numeric);
    if (!numeric) {
        index = -1;
        for (int16_t i = 0; i < count && index < 0; ++i) {
            AdapterInfo info{};
            if (library.getAdapterInfo(i, &info) == 0 && adapter == QString::fromLocal8Bit(info.AdapterName))
                index = i;
        }
        if (index < 0) {
            why = "no adapter named " + adapter;
            return false;
        }
    }
    if (index < 0 || index > INT16_MAX || library.setCurrentAdapter(static_cast<int16_t>(index)) != 0) {
        why = QString::fromLocal8Bit(library.errorDescription().c_str());
        return false;
    }
    return true;
}

} // namespace

int scan(const QStringList &arguments)
{
    QString file, adapter, deploymentPath;
    bool json = false;
    bool stats = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        const bool takesValue = a == "-r" || a == "-i" || a == "--deployment";
        if (takesValue && i + 1 >= arguments.size())
            return usageError("scan", kScanUsage, a + " needs a value");
        if (a == "-r")
            file = arguments[++i];
        else if (a == "-i")
            adapter = arguments[++i];
        else if (a == "--deployment")
            deploymentPath = arguments[++i];
        else if (a == "--json")
            json = true;
        else if (a == "--stats")
            stats = true;
        else
            return usageError("scan", kScanUsage, "unknown option " + a);
    }
    if (!file.isEmpty() && !adapter.isEmpty())
        return usageError("scan", kScanUsage, "-r and -i exclude each other");

    const DeploymentConfig config = loadDeployment(deploymentPath);

    Pktwell library;
    QString why;
    if (file.isEmpty() && !selectAdapter(library, adapter, why)) {
        std::fprintf(stderr, "%s\n", why.toLocal8Bit().constData());
        return kExitFailure;
    }

    const RuleTable rules(sitePatternsFrom(config));
    StoredSwitches switches;
    PrintingRegistry registry(json);
    LinkMonitor monitor(rules, switches, registry);
    CaptureLoop loop(library, config.updateHostName());
    if (!file.isEmpty())
        loop.setCaptureFile(file);

    QThread worker;
    loop.moveToThread(&worker);
    QObject::connect(&loop, &CaptureLoop::requestTexts, &monitor, &LinkMonitor::processRequestTexts);
    QObject::connect(&worker, &QThread::started, &loop, &CaptureLoop::capture);
    int status = kExitOk;
    QObject::connect(&loop, &CaptureLoop::finished, &monitor, [&](bool failed, const QString &error) {
        if (failed) {
            std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
            status = kExitFailure;
        }
        QCoreApplication::quit();
    });

    runningLoop = &loop;
    struct sigaction action {};
    action.sa_handler = stopOnSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    worker.start();
    QCoreApplication::exec();
    worker.quit();
    worker.wait();
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    runningLoop = nullptr;
    if (stats && loop.stats().valid)
        std::fprintf(stderr, "received %u frames, dropped %u (kernel), %u (interface)\n", loop.stats().received,
                     loop.stats().dropped, loop.stats().interfaceDropped);
    library.terminate();
    return status;
}

} // namespace cli
