#include "shell/cli/commands.h"

#include "capture/pktwell_loader.h"

#include <cstdio>

namespace cli {

int adapters(const QStringList &arguments)
{
    if (!arguments.isEmpty()) {
        std::fprintf(stderr, "usage: clipsnare-cli adapters\n");
        return kExitUsage;
    }
    Pktwell library;
    const int32_t count = library.init();
    if (count < 0) {
        std::fprintf(stderr, "%s\n", library.errorDescription().c_str());
        return kExitFailure;
    }
    for (int16_t i = 0; i < count; ++i) {
        AdapterInfo info{};
        if (library.getAdapterInfo(i, &info) != 0) {
            std::fprintf(stderr, "%s\n", library.errorDescription().c_str());
            return kExitFailure;
        }
        std::printf("%d\t%s\t%s\n", i, info.AdapterName, info.Description);
    }
    library.terminate();
    return kExitOk;
}

} // namespace cli
