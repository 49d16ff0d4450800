// Caller side of the capture library: binds libpktwell.so by file name and
// resolves each export by name at its first call. A missing library or export
// makes that call fail with the loader's text and touches nothing else.
#pragma once

#include "capture/pktwell.h"

#include <array>
#include <string>

class Pktwell {
public:
    // The library beside the running executable.
    Pktwell();
    explicit Pktwell(std::string libraryPath);
    ~Pktwell();
    Pktwell(const Pktwell &) = delete;
    Pktwell &operator=(const Pktwell &) = delete;

    int32_t init();
    int32_t terminate();
    int32_t getAdapterInfo(int16_t index, AdapterInfo *record);
    int32_t setCurrentAdapter(int16_t index);
    int32_t getCurrentAdapter();
    int32_t begin(int32_t readTimeoutMs);
    int32_t end();
    int32_t capture(ByteArrayRef *frame, CaptureInfo *info);
    int32_t openCaptureFile(const char *path);
    int32_t setNoticeCallback(PwNoticeCallback callback, void *user);
    int32_t getStats(uint32_t *received, uint32_t *dropped, uint32_t *interfaceDropped);

    // The library's last error text, or the loader's when the last failure
    // was the loader's.
    std::string errorDescription();

    static std::string besideExecutable(const char *fileName);

private:
    enum Export {
        Init, Terminate, GetAdapterInfo, SetCurrentAdapter, GetCurrentAdapter, Begin, End, Capture,
        OpenCaptureFile, SetNoticeCallback, GetStats, GetErrorDescription, FreeString, ExportCount
    };
    template <class Fn> Fn *bind(Export which, const char *name);
    template <class Fn, class... Args> int32_t forward(Export which, const char *name, Args... args);

    std::string path_;
    void *library_ = nullptr;
    std::array<void *, ExportCount> exports_{};
    std::string loaderError_;
    bool lastFailureWasLoader_ = false;
};
