#pragma once

#include "capture/pktwell_loader.h"

#include <cstring>

namespace testsupport {

// Initialises the library and returns the index of "lo", or -1.
inline int16_t loopbackAdapter(Pktwell &library)
{
    const int32_t count = library.init();
    for (int16_t i = 0; i < count; ++i) {
        AdapterInfo info{};
        if (library.getAdapterInfo(i, &info) == 0 && std::strcmp(info.AdapterName, "lo") == 0)
            return i;
    }
    return -1;
}

} // namespace testsupport
