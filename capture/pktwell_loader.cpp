#include "capture/pktwell_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

Pktwell::Pktwell() : Pktwell(besideExecutable("libpktwell.so")) {}

Pktwell::Pktwell(std::string libraryPath) : path_(std::move(libraryPath)) {}

Pktwell::~Pktwell()
{
    if (library_)
        dlclose(library_);
}

std::string Pktwell::besideExecutable(const char *fileName)
{
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    std::string folder = n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
    const auto slash = folder.rfind('/');
    folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
    return folder + "/" + fileName;
}

template <class Fn> Fn *Pktwell::bind(Export which, const char *name)
{
    void *&slot = exports_[which];
    if (!slot) {
        if (!library_)
            library_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (library_) {
            dlerror();
            slot = dlsym(library_, name);
        }
        if (!slot) {
            const char *why = dlerror();
            loaderError_ = why ? why : "cannot bind " + std::string(name) + " in " + path_;
            lastFailureWasLoader_ = true;
            return nullptr;
        }
    }
    lastFailureWasLoader_ = false;
    return reinterpret_cast<Fn *>(slot);
}

template <class Fn, class... Args> int32_t Pktwell::forward(Export which, const char *name, Args... args)
{
    auto *fn = bind<Fn>(which, name);
    return fn ? fn(args...) : -1;
}

int32_t Pktwell::init() { return forward<decltype(PktwellInit)>(Init, "PktwellInit"); }
int32_t Pktwell::terminate() { return forward<decltype(PktwellTerminate)>(Terminate, "PktwellTerminate"); }
int32_t Pktwell::getAdapterInfo(int16_t index, AdapterInfo *record) { return forward<decltype(pwGetAdapterInfo)>(GetAdapterInfo, "pwGetAdapterInfo", index, record); }
int32_t Pktwell::setCurrentAdapter(int16_t index) { return forward<decltype(pwSetCurrentAdapter)>(SetCurrentAdapter, "pwSetCurrentAdapter", index); }
int32_t Pktwell::getCurrentAdapter() { return forward<decltype(pwGetCurrentAdapter)>(GetCurrentAdapter, "pwGetCurrentAdapter"); }
int32_t Pktwell::begin(int32_t readTimeoutMs) { return forward<decltype(pwBegin)>(Begin, "pwBegin", readTimeoutMs); }
int32_t Pktwell::end() { return forward<decltype(pwEnd)>(End, "pwEnd"); }
int32_t Pktwell::capture(ByteArrayRef *frame, CaptureInfo *info) { return forward<decltype(pwCapture)>(Capture, "pwCapture", frame, info); }
int32_t Pktwell::openCaptureFile(const char *path) { return forward<decltype(pwOpenCaptureFile)>(OpenCaptureFile, "pwOpenCaptureFile", path); }

int32_t Pktwell::getStats(uint32_t *received, uint32_t *dropped, uint32_t *interfaceDropped)
{
    return forward<decltype(pwGetStats)>(GetStats, "pwGetStats", received, dropped, interfaceDropped);
}

int32_t Pktwell::setNoticeCallback(PwNoticeCallback callback, void *user)
{
    auto *fn = bind<decltype(pwSetNoticeCallback)>(SetNoticeCallback, "pwSetNoticeCallback");
    if (!fn)
        return -1;
    fn(callback, user);
    return 0;
}

std::string Pktwell::errorDescription()
{
    if (lastFailureWasLoader_)
        return loaderError_;
    auto *get = bind<decltype(pwGetErrorDescription)>(GetErrorDescription, "pwGetErrorDescription");
    auto *release = get ? bind<decltype(pwFreeString)>(FreeString, "pwFreeString") : nullptr;
    if (!get || !release)
        return loaderError_;
    char *text = get();
    std::string result = text ? text : "";
    release(text);
    return result;
}
