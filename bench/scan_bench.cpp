// clipsnare-cli scan -r over a browsing-like capture, beside a bare libpcap
// read loop over the same file.
//
//   scan_bench [--frames N] [--file PATH] [--runs N]
//
// The file is made once (deterministically) and kept; PATH.expected holds the
// lines the scan must print with every site pattern emptied: one per request
// whose text holds ".flv HTTP" (forced rule) or ".mp3 HTTP" (MP3 rule).
#include <pcap/pcap.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

std::vector<unsigned char> headers(std::size_t payload, bool fromClient)
{
    std::vector<unsigned char> f = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x00, 0x0A, 0xFF, 0x01, 0xB2, 0x3C, 0x08, 0x00,
                                    0x45, 0x00, 0x00, 0x00, 0x12, 0x34, 0x40, 0x00, 0x40, 0x06, 0x00, 0x00, 192, 168,
                                    1, 20, 93, 184, 216, 34, 0xC3, 0x50, 0x00, 0x50, 0, 0, 0, 1, 0, 0, 0, 1, 0x50,
                                    0x18, 0x01, 0xF5, 0, 0, 0, 0};
    const auto total = static_cast<unsigned>(20 + 20 + payload);
    f[16] = static_cast<unsigned char>(total >> 8);
    f[17] = static_cast<unsigned char>(total);
    if (!fromClient) {
        std::swap_ranges(f.begin() + 26, f.begin() + 30, f.begin() + 30);
        std::swap_ranges(f.begin() + 34, f.begin() + 36, f.begin() + 36);
    }
    return f;
}

void generate(const std::string &path, long frames)
{
    std::mt19937 random(2026);
    pcap_t *dead = pcap_open_dead(DLT_EN10MB, 65536);
    pcap_dumper_t *dump = pcap_dump_open(dead, path.c_str());
    if (!dump) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::ofstream expected(path + ".expected");
    const char *kinds[] = {".flv", ".mp3", ".html", ".js", ".png"};
    const char *hosts[] = {"media.example.net", "cdn3.example.org", "www.example.com:8080"};
    long requests = 0;
    for (long n = 0; n < frames; ++n) {
        const unsigned roll = random() % 100;
        std::vector<unsigned char> frame;
        if (roll < 5) {
            const char *kind = kinds[random() % 5];
            const char *host = hosts[random() % 3];
            const std::string target = "/watch/" + std::to_string(requests++) + "/clip" + kind;
            const std::string text = "GET " + target + " HTTP/1.1\r\nHost: " + host
                                     + "\r\nUser-Agent: Mozilla/5.0 (X11; Linux x86_64; rv:128.0) Gecko/20100101"
                                       "\r\nAccept: */*\r\nAccept-Language: en-US,en;q=0.5\r\nReferer: "
                                       "http://www.example.com/page\r\nConnection: keep-alive\r\n\r\n";
            frame = headers(text.size(), true);
            frame.insert(frame.end(), text.begin(), text.end());
            if (!std::strcmp(kind, ".flv"))
                expected << "Forced Mode !\thttp://" << host << target << "\n";
            else if (!std::strcmp(kind, ".mp3"))
                expected << "MP3 Stream\thttp://" << host << target << "\n";
        } else if (roll < 55) {
            frame = headers(1460, false);
            for (int i = 0; i < 1460; ++i)
                frame.push_back(static_cast<unsigned char>(random()));
        } else {
            frame = headers(0, true);
            frame.resize(66 - 12 + 12, 0); // bare ACK with timestamp option room
        }
        pcap_pkthdr h{};
        h.ts.tv_sec = 1700000000 + n / 10000;
        h.ts.tv_usec = static_cast<suseconds_t>(n % 10000) * 100;
        h.caplen = h.len = static_cast<bpf_u_int32>(frame.size());
        pcap_dump(reinterpret_cast<u_char *>(dump), &h, frame.data());
    }
    pcap_dump_close(dump);
    pcap_close(dead);
}

// With `buffer`, the file is read through a 1 MiB stdio buffer, as pktwell
// reads capture files; without, through libpcap's own pcap_open_offline.
double bareLoop(const std::string &path, long &frames, bool buffer = false)
{
    const auto start = Clock::now();
    char errbuf[PCAP_ERRBUF_SIZE];
    static std::vector<char> stdioBuffer(1 << 20);
    pcap_t *p = nullptr;
    if (buffer) {
        FILE *f = std::fopen(path.c_str(), "rb");
        std::setvbuf(f, stdioBuffer.data(), _IOFBF, stdioBuffer.size());
        p = pcap_fopen_offline(f, errbuf);
    } else {
        p = pcap_open_offline(path.c_str(), errbuf);
    }
    if (!p) {
        std::fprintf(stderr, "%s\n", errbuf);
        std::exit(1);
    }
    pcap_pkthdr *h;
    const u_char *d;
    frames = 0;
    unsigned long sum = 0;
    while (pcap_next_ex(p, &h, &d) == 1) {
        ++frames;
        sum += d[h->caplen - 1];
    }
    pcap_close(p);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (sum == 42)
        std::puts("");
    return seconds;
}

double scan(const std::string &cli, const std::string &path, const std::string &deployment, std::string &output)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        std::exit(1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<std::string> args = {cli, "scan", "-r", path, "--deployment", deployment};
    std::vector<char *> argv;
    for (auto &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = Clock::now();
    pid_t pid;
    if (posix_spawn(&pid, cli.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        std::perror("spawn");
        std::exit(1);
    }
    close(pipeFds[1]);
    output.clear();
    char buffer[65536];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<std::size_t>(n));
    int status = 0;
    waitpid(pid, &status, 0);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    close(pipeFds[0]);
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "scan failed\n");
        std::exit(1);
    }
    return seconds;
}

std::string folderOf(const std::string &path)
{
    return path.substr(0, path.rfind('/'));
}

} // namespace

int main(int argc, char **argv)
{
    long frames = 1000000;
    std::string file = "/tmp/clipsnare-scan-bench.pcap";
    int runs = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--frames"))
            frames = std::atol(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--file"))
            file = argv[i + 1];
        else if (!std::strcmp(argv[i], "--runs"))
            runs = std::atoi(argv[i + 1]);
    }
    char self[4096];
    const ssize_t len = readlink("/proc/self/exe", self, sizeof self - 1);
    self[len > 0 ? len : 0] = 0;
    const std::string cli = folderOf(self) + "/clipsnare-cli";

    long existing = 0;
    if (access(file.c_str(), R_OK) != 0 || (bareLoop(file, existing), existing != frames)) {
        std::printf("generating %ld frames into %s\n", frames, file.c_str());
        generate(file, frames);
    }
    const std::string deployment = file + ".deployment.ini";
    {
        std::ofstream d(deployment);
        d << "[Servers]\nUpdateHost=update.vexlund.invalid\n[Sites]\n";
        for (int n = 1; n <= 26; ++n)
            d << "Rule" << n << "=\n";
    }
    // A private, empty settings folder: all three switches on.
    char configHome[] = "/tmp/clipsnare-bench-XXXXXX";
    setenv("XDG_CONFIG_HOME", mkdtemp(configHome), 1);

    std::ifstream expectedFile(file + ".expected");
    std::stringstream expected;
    expected << expectedFile.rdbuf();

    double bestBare = 1e9, bestBuffered = 1e9, bestScan = 1e9;
    std::string output;
    long read = 0;
    for (int r = 0; r < runs; ++r) {
        bestBare = std::min(bestBare, bareLoop(file, read));
        bestBuffered = std::min(bestBuffered, bareLoop(file, read, true));
        bestScan = std::min(bestScan, scan(cli, file, deployment, output));
    }
    const bool exact = output == expected.str();
    const long links = std::count(output.begin(), output.end(), '\n');
    std::printf("frames                %ld\n", read);
    std::printf("bare libpcap loop     %.3f s  (%.0f frames/s)\n", bestBare, static_cast<double>(read) / bestBare);
    std::printf("bare loop, 1 MiB buf  %.3f s  (%.0f frames/s)\n", bestBuffered, static_cast<double>(read) / bestBuffered);
    std::printf("clipsnare-cli scan -r %.3f s  (%.0f frames/s)\n", bestScan, static_cast<double>(read) / bestScan);
    std::printf("ratio scan / bare     %.2f  (target <= 1.30)\n", bestScan / bestBare);
    std::printf("ratio scan / buffered %.2f\n", bestScan / bestBuffered);
    std::printf("links reported        %ld, %s\n", links, exact ? "exactly the expected ones" : "NOT the expected ones");
    return exact ? 0 : 1;
}
