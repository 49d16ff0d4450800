#include "capture/pktwell.h"
#include "capture/pcap_api.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>

namespace {

constexpr const char *kNotReady = "Adpater not ready for capture: Use PKTWELL.pwBegin first";
constexpr const char *kOutOfBounds = "Adapter ID out of BOUNDS: No adapter with such ID";
constexpr const char *kInvalidOperation = "Invalid Operation in current state";
constexpr const char *kOpenFailed = "Failed to open Device";
constexpr const char *kDumpOpenFailed = "Error opening DUMP File, use pwSetParam to set a different filename";
constexpr const char *kBufferTooSmall = "Buffer to small";
constexpr const char *kNoAdapter = "No adapter selected: PktwellInit found none, or PktwellTerminate has run";
constexpr const char *kBadFrame = "Invalid frame descriptor: missing, or no data for a non-zero count";
constexpr const char *kBadRecord = "Invalid record: a required record pointer is null";
constexpr const char *kNameTooLong = "Dump file name too long: it must fit in 259 bytes";
constexpr std::size_t kDumpNameSize = 260;
constexpr std::size_t kFileBufferSize = 1 << 20;

struct State {
    pcap_if_t *table = nullptr;
    int32_t count = 0;
    pcap_if_t *selected = nullptr;
    int32_t selectedIndex = -1;

    bool open = false;
    pcap_t *handle = nullptr;
    bool fromFile = false;
    bool fileEnded = false;
    std::unique_ptr<char[]> fileBuffer;
    pcap_dumper_t *dumper = nullptr;
    int32_t readTimeoutMs = 0;

    int32_t snapLength = 65536;
    int32_t promiscuous = 1;
    int32_t mode = PW_MODE_MEMORY;
    char dumpName[kDumpNameSize] = "Pktwelldump.cap";
    int32_t kernelBufferSize = 0; // 0: libpcap's default

    char error[PCAP_ERRBUF_SIZE] = {};

    PwNoticeCallback notice = nullptr;
    void *noticeUser = nullptr;
};

State &state()
{
    static State s;
    return s;
}

const pktwell::PcapApi &lib()
{
    return pktwell::pcapApi();
}

int32_t fail(const char *message)
{
    State &s = state();
    std::memset(s.error, 0, sizeof s.error);
    std::strncpy(s.error, message, sizeof s.error - 1);
    return -1;
}

void notify(const char *text, const char *caption)
{
    State &s = state();
    if (s.notice)
        s.notice(text, caption, s.noticeUser);
    else
        std::fprintf(stderr, "%s: %s\n", caption, text);
}

char *newString(std::string_view text)
{
    auto *block = static_cast<char *>(std::malloc(sizeof(uint32_t) + text.size() + 1));
    if (!block)
        return nullptr;
    const auto length = static_cast<uint32_t>(text.size());
    std::memcpy(block, &length, sizeof length);
    char *bytes = block + sizeof(uint32_t);
    std::memcpy(bytes, text.data(), text.size());
    bytes[text.size()] = '\0';
    return bytes;
}

// Walks the libpcap list from its first entry, as the design asks: no index.
pcap_if_t *entryAt(int32_t index)
{
    State &s = state();
    if (index < 0 || index > s.count - 1)
        return nullptr;
    pcap_if_t *entry = s.table;
    for (int32_t k = 0; k < index && entry; ++k)
        entry = entry->next;
    return entry;
}

// Writes the text and its zero byte; the rest of the field keeps what the
// caller had there. Longer texts are cut to fit.
void writeField(char *field, std::size_t size, const char *text)
{
    const std::size_t length = text ? strnlen(text, size - 1) : 0;
    if (length)
        std::memcpy(field, text, length);
    field[length] = '\0';
}

bool validFrame(const ByteArrayRef *frame)
{
    return frame && (frame->data || frame->count == 0);
}

void fillInfo(const pcap_pkthdr &header, CaptureInfo &info)
{
    info.CapturedLength = static_cast<int32_t>(header.caplen);
    info.WireLength = static_cast<int32_t>(header.len);
    // Frames come many to a second; the local time is converted once per second.
    static time_t lastSeconds = -1;
    static tm local{};
    const time_t seconds = header.ts.tv_sec;
    if (seconds != lastSeconds) {
        localtime_r(&seconds, &local);
        lastSeconds = seconds;
    }
    info.Hour = local.tm_hour;
    info.Minute = local.tm_min;
    info.Second = local.tm_sec;
    info.Microseconds = static_cast<int32_t>(header.ts.tv_usec);
}

// One frame, waiting at most the read timeout. Live handles are non-blocking:
// on Linux a blocking pcap_next_ex may never return once traffic stops, so the
// wait is a poll on the selectable descriptor.
int32_t nextFrame(pcap_pkthdr **header, const u_char **data)
{
    State &s = state();
    if (s.fromFile) {
        if (s.fileEnded)
            return PW_END_OF_FILE;
        const int r = lib().next_ex(s.handle, header, data);
        if (r == 1)
            return 1;
        // A damaged record is reported once; after it the file has ended.
        s.fileEnded = true;
        if (r == PCAP_ERROR) {
            const std::string reason = std::string("Capture file ends early: ") + lib().geterr(s.handle);
            return fail(reason.c_str());
        }
        return PW_END_OF_FILE;
    }

    using Clock = std::chrono::steady_clock;
    const bool waitForever = s.readTimeoutMs <= 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(s.readTimeoutMs);
    const int fd = lib().get_selectable_fd(s.handle);
    for (;;) {
        const int r = lib().next_ex(s.handle, header, data);
        if (r == 1)
            return 1;
        if (r < 0)
            return -1;
        int waitMs = -1;
        if (!waitForever) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return 0;
            waitMs = static_cast<int>(left);
        }
        if (fd < 0) {
            poll(nullptr, 0, waitForever ? 1 : std::min(waitMs, 1));
            continue;
        }
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, waitMs) < 0 && errno != EINTR)
            return -1;
    }
}

bool captureOpen()
{
    return state().open && state().handle;
}

// Closes the dump file and the capture handle, whatever state they are in
// (also the adapter a failed dump-file open leaves behind).
void closeHandle()
{
    State &s = state();
    if (s.dumper) {
        lib().dump_close(s.dumper);
        s.dumper = nullptr;
    }
    if (s.handle) {
        lib().close(s.handle);
        s.handle = nullptr;
    }
    s.fileBuffer.reset();
    s.open = false;
    s.fromFile = false;
    s.fileEnded = false;
}

int32_t openDumpIfDiskMode()
{
    State &s = state();
    if (s.mode != PW_MODE_DISK)
        return 0;
    s.dumper = lib().dump_open(s.handle, s.dumpName);
    if (!s.dumper)
        return fail(kDumpOpenFailed);
    return 0;
}

pcap_t *openLive(const char *device)
{
    State &s = state();
    pcap_t *handle = lib().create(device, s.error);
    if (!handle)
        return nullptr;
    lib().set_snaplen(handle, s.snapLength);
    lib().set_promisc(handle, s.promiscuous);
    lib().set_timeout(handle, s.readTimeoutMs);
    if (s.kernelBufferSize > 0)
        lib().set_buffer_size(handle, s.kernelBufferSize);
    if (lib().activate(handle) < 0) {
        lib().close(handle);
        return nullptr;
    }
    char scratch[PCAP_ERRBUF_SIZE];
    if (lib().setnonblock(handle, 1, scratch) < 0) {
        lib().close(handle);
        return nullptr;
    }
    return handle;
}

void deliverView(ByteArrayRef &frame, const u_char *data, uint32_t length)
{
    ++frame.lockCount;
    frame.data = const_cast<uint8_t *>(data);
    frame.count = length;
    --frame.lockCount;
}

int32_t deliverCopy(ByteArrayRef &frame, const u_char *data, uint32_t length)
{
    if (frame.count < static_cast<uint64_t>(length) + 1)
        return fail(kBufferTooSmall);
    ++frame.lockCount;
    std::memcpy(frame.data, data, length);
    --frame.lockCount;
    return 1;
}

std::string toNarrow(const uint16_t *chars, uint32_t length)
{
    std::string out;
    for (uint32_t i = 0; i < length; ++i) {
        uint32_t c = chars[i];
        if (c == 0)
            break;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && chars[i + 1] >= 0xDC00 && chars[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (chars[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace

extern "C" {

int32_t PktwellInit(void)
{
    State &s = state();
    pcap_if_t *list = nullptr;
    if (lib().findalldevs(&list, s.error) != 0)
        return fail(kInvalidOperation);
    if (s.table)
        lib().freealldevs(s.table);
    s.table = list;
    s.count = 0;
    for (pcap_if_t *e = list; e; e = e->next)
        ++s.count;
    s.selected = list;
    s.selectedIndex = -1;
    return s.count;
}

int32_t PktwellTerminate(void)
{
    State &s = state();
    if (s.table)
        lib().freealldevs(s.table);
    s.table = nullptr;
    s.count = 0;
    s.selected = nullptr;
    s.selectedIndex = -1;
    return 0;
}

int32_t pwGetAdapterInfo(int16_t index, AdapterInfo *record)
{
    pcap_if_t *entry = entryAt(index);
    if (!entry)
        return fail(kOutOfBounds);
    if (!record)
        return fail(kBadRecord);
    writeField(record->AdapterName, sizeof record->AdapterName, entry->name);
    writeField(record->Description, sizeof record->Description, entry->description);
    record->Reserved32 = 0;
    return 0;
}

int32_t pwGetAdapterInfoStr2(int16_t index, char **name, char **description)
{
    pcap_if_t *entry = entryAt(index);
    if (!entry)
        return fail(kOutOfBounds);
    if (!name || !description)
        return fail(kBadRecord);
    *name = newString(entry->name ? entry->name : "");
    *description = newString(entry->description ? entry->description : "");
    return 0;
}

int32_t pwSetCurrentAdapter(int16_t index)
{
    State &s = state();
    if (s.count == 0 || !s.selected)
        return fail(kNotReady);
    if (index < 0 || index > s.count - 1)
        return fail(kOutOfBounds);
    if (index == s.selectedIndex)
        return 0;
    s.selected = entryAt(index);
    s.selectedIndex = index;
    return 0;
}

int32_t pwGetCurrentAdapter(void)
{
    return state().selectedIndex;
}

int32_t pwBegin(int32_t readTimeoutMs)
{
    State &s = state();
    if (s.open)
        return fail(kNotReady);
    if (!s.selected)
        return fail(kNoAdapter);
    closeHandle();
    s.readTimeoutMs = readTimeoutMs;
    s.handle = openLive(s.selected->name);
    if (!s.handle)
        return fail(kOpenFailed);
    if (openDumpIfDiskMode() != 0)
        return -1;
    s.open = true;
    return 0;
}

int32_t pwOpenCaptureFile(const char *path)
{
    State &s = state();
    if (s.open)
        return fail(kNotReady);
    if (!path || !*path)
        return fail("No capture file named");
    closeHandle();
    FILE *file = std::fopen(path, "rb");
    if (!file) {
        const std::string reason = std::string(path) + ": " + std::strerror(errno);
        return fail(reason.c_str());
    }
    // Frames are small and many: a large stdio buffer saves most read calls.
    // glibc takes the size only with a buffer of the caller's; it lives until
    // the file is closed.
    s.fileBuffer = std::make_unique<char[]>(kFileBufferSize);
    std::setvbuf(file, s.fileBuffer.get(), _IOFBF, kFileBufferSize);
    s.handle = lib().fopen_offline(file, s.error);
    if (!s.handle) {
        std::fclose(file);
        s.fileBuffer.reset();
        return -1; // libpcap's reason is in the error text
    }
    s.fromFile = true;
    if (openDumpIfDiskMode() != 0)
        return -1;
    s.open = true;
    return 0;
}

int32_t pwEnd(void)
{
    closeHandle();
    return 0;
}

int32_t pwCapture(ByteArrayRef *frame, CaptureInfo *info)
{
    State &s = state();
    if (!captureOpen())
        return fail(kNotReady);
    if (!info || !validFrame(frame))
        return fail(!info ? kBadRecord : kBadFrame);
    if (s.mode == PW_MODE_DISK && !s.dumper)
        return fail(kNotReady);

    pcap_pkthdr *header = nullptr;
    const u_char *data = nullptr;
    const int32_t r = nextFrame(&header, &data);
    if (r != 1)
        return r;
    fillInfo(*header, *info);
    switch (s.mode) {
    case PW_MODE_DISK:
        lib().dump(reinterpret_cast<u_char *>(s.dumper), header, data);
        return 1;
    case PW_MODE_MEMORY_SAFE:
        return deliverCopy(*frame, data, header->caplen);
    default:
        deliverView(*frame, data, header->caplen);
        return 1;
    }
}

int32_t pwCaptureMem(ByteArrayRef *frame, CaptureInfo *info)
{
    State &s = state();
    const int32_t mode = s.mode;
    s.mode = PW_MODE_MEMORY;
    const int32_t r = pwCapture(frame, info);
    s.mode = mode;
    return r;
}

int32_t pwCaptureMemSafe(ByteArrayRef *frame)
{
    if (!captureOpen())
        return fail(kNotReady);
    if (!validFrame(frame))
        return fail(kBadFrame);
    pcap_pkthdr *header = nullptr;
    const u_char *data = nullptr;
    const int32_t r = nextFrame(&header, &data);
    if (r != 1)
        return r;
    return deliverCopy(*frame, data, header->caplen);
}

int32_t pwCaptureDiskSafe(CaptureInfo *info)
{
    State &s = state();
    if (!s.handle || !s.dumper || !s.open)
        return fail(kNotReady);
    if (!info)
        return fail(kBadRecord);
    pcap_pkthdr *header = nullptr;
    const u_char *data = nullptr;
    const int32_t r = nextFrame(&header, &data);
    if (r != 1)
        return r;
    fillInfo(*header, *info);
    lib().dump(reinterpret_cast<u_char *>(s.dumper), header, data);
    return 1;
}

char *pwGetErrorDescription(void)
{
    const State &s = state();
    return newString(std::string_view(s.error, strnlen(s.error, sizeof s.error)));
}

void pwFreeString(char *text)
{
    if (text)
        std::free(text - sizeof(uint32_t));
}

void pwSetNoticeCallback(PwNoticeCallback callback, void *user)
{
    state().notice = callback;
    state().noticeUser = user;
}

int32_t pwSetParam(uint32_t code, const ParamValue *value)
{
    State &s = state();
    if (!value)
        return -1;
    int32_t number = -1;
    switch (value->tag) {
    case PW_VT_I2: number = value->value.i2; break;
    case PW_VT_I4: number = value->value.i4; break;
    case PW_VT_TEXT:
        if (!value->value.text.chars && value->value.text.length > 0)
            return -1;
        break;
    default: return -1;
    }

    switch (code) {
    case 0:
        if (number < 1 || number > 65536)
            return -1;
        s.snapLength = number;
        return 0;
    case 1:
        if (number != 0 && number != 1)
            return -1;
        s.promiscuous = number;
        return 0;
    case 2: {
        // A number cannot name a file; only text is taken.
        if (value->tag != PW_VT_TEXT)
            return -1;
        const std::string name = toNarrow(value->value.text.chars, value->value.text.length);
        if (name.empty())
            return -1;
        if (name.size() >= kDumpNameSize)
            return fail(kNameTooLong);
        std::memset(s.dumpName, 0, sizeof s.dumpName);
        std::memcpy(s.dumpName, name.data(), name.size());
        notify(s.dumpName, "SET UP DUMP FILENAME");
        return 0;
    }
    case 8:
        if (number < 0 || number > 101)
            return -1;
        if (number & 0x08) {
            s.mode = PW_MODE_MEMORY;
            notify("MEMORY", "SET");
        }
        if ((number & 100) == 100) {
            s.mode = PW_MODE_MEMORY_SAFE;
            notify("MEMORY SAFE", "SET");
        }
        if (number & 0x01) {
            s.mode = PW_MODE_DISK;
            notify("DISK", "SET");
        }
        return 0;
    default:
        return 0;
    }
}

// Linux cannot resize the ring of an active handle: the size is kept and
// applied when the next pwBegin opens the adapter.
int32_t pwSetKernelBuffSize(int32_t size)
{
    State &s = state();
    if (!s.handle || s.fromFile)
        return fail(kNotReady);
    if (size <= 0)
        return -1;
    s.kernelBufferSize = size;
    return 0;
}

int32_t pwSendPacket(const ByteArrayRef *frame)
{
    State &s = state();
    if (!s.handle || s.fromFile)
        return fail(kNotReady);
    if (!validFrame(frame) || frame->count > static_cast<uint32_t>(INT32_MAX))
        return fail(kBadFrame);
    return lib().sendpacket(s.handle, frame->data, static_cast<int>(frame->count));
}

int32_t pwGetStats(uint32_t *received, uint32_t *dropped, uint32_t *interfaceDropped)
{
    State &s = state();
    if (!captureOpen() || s.fromFile)
        return fail(kNotReady);
    if (!received || !dropped || !interfaceDropped)
        return fail(kBadRecord);
    pcap_stat st{};
    if (lib().stats(s.handle, &st) != 0)
        return fail(lib().geterr(s.handle));
    *received = st.ps_recv;
    *dropped = st.ps_drop;
    *interfaceDropped = st.ps_ifdrop;
    return 0;
}

} // extern "C"
