// clipsnare-cli: the monitor and the downloader without windows.
#include "shell/cli/commands.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

constexpr const char *kUsage =
    "usage: clipsnare-cli COMMAND [OPTIONS]\n"
    "commands:\n"
    "  adapters                      list the capture adapters\n"
    "  scan [-r FILE | -i ADAPTER] [--deployment FILE] [--json]\n"
    "                                print the links found in live traffic or a capture file\n"
    "  fetch URL -o FILE [--replay REQUEST_FILE] [--timeout SECONDS]\n"
    "                                download one link with the program's own client\n";

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    if (arguments.isEmpty()) {
        std::fputs(kUsage, stderr);
        return cli::kExitUsage;
    }
    const QString command = arguments.takeFirst();
    if (command == "adapters")
        return cli::adapters(arguments);
    if (command == "scan")
        return cli::scan(arguments);
    if (command == "fetch")
        return cli::fetch(arguments);
    std::fputs(kUsage, stderr);
    return cli::kExitUsage;
}
