// FrameToText throughput beside a plain memcpy of the same bytes.
#include "decoding/frame_text.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// Ethernet + IPv4 + TCP headers (with their zero bytes) followed by either an
// HTTP request or compressed-looking body bytes, cut or repeated to `size`.
std::vector<std::uint8_t> realisticFrame(std::size_t size, bool request)
{
    std::vector<std::uint8_t> f = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x00, 0x0A, 0xFF, 0x01, 0xB2, 0x3C, 0x08, 0x00,
                                   0x45, 0x00, 0x05, 0xDC, 0xAB, 0xCD, 0x40, 0x00, 0x40, 0x06, 0x00, 0x00, 0xC0, 0xA8,
                                   0x01, 0x02, 0x0A, 0x00, 0x00, 0x01, 0xC3, 0x50, 0x00, 0x50, 0x12, 0x34, 0x56, 0x78,
                                   0x00, 0x00, 0x00, 0x00, 0x80, 0x18, 0x01, 0xF5, 0x9C, 0x1E, 0x00, 0x00, 0x01, 0x01,
                                   0x08, 0x0A, 0x00, 0x01, 0x02, 0x03, 0x00, 0x04, 0x05, 0x06};
    std::mt19937 random(42);
    const std::string http = "GET /videos/clip-0042.flv HTTP/1.1\r\nHost: media.example.net\r\nUser-Agent: "
                             "Mozilla/5.0 (X11; Linux x86_64)\r\nAccept: */*\r\nAccept-Language: en-US,en;q=0.5\r\n"
                             "Referer: http://www.example.net/watch?v=42\r\nCookie: session=abcdef0123456789\r\n\r\n";
    while (f.size() < size) {
        if (request)
            f.insert(f.end(), http.begin(), http.end());
        else
            f.push_back(static_cast<std::uint8_t>(random()));
    }
    f.resize(size);
    return f;
}

void BM_FrameToText(benchmark::State &state)
{
    const auto frame = realisticFrame(static_cast<std::size_t>(state.range(0)), state.range(1) != 0);
    std::string text;
    for (auto _ : state) {
        FrameToText(frame, text);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_Memcpy(benchmark::State &state)
{
    const auto frame = realisticFrame(static_cast<std::size_t>(state.range(0)), state.range(1) != 0);
    std::vector<char> out(frame.size());
    for (auto _ : state) {
        std::memcpy(out.data(), frame.data(), frame.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

// Arguments: frame size, 1 for request text / 0 for binary body.
void frameArguments(benchmark::internal::Benchmark *b)
{
    for (int size : {60, 590, 1514, 65536})
        for (int request : {1, 0})
            b->Args({size, request});
}

} // namespace

BENCHMARK(BM_FrameToText)->Apply(frameArguments);
BENCHMARK(BM_Memcpy)->Apply(frameArguments);
BENCHMARK_MAIN();
