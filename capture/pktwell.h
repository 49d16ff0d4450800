/* pktwell: a small C interface in front of libpcap.
 *
 * Every failure returns -1 and keeps a text for pwGetErrorDescription. State is
 * per process; calls from several threads at once are not supported. */
#ifndef PKTWELL_H
#define PKTWELL_H

#include <stddef.h>
#include <stdint.h>

#if defined(PKTWELL_BUILDING)
#define PW_API __attribute__((visibility("default")))
#else
#define PW_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Caller-owned descriptor of a byte array. In memory mode the library points
 * `data` at the frame inside its capture buffer; the view is valid until the
 * next capture call or pwEnd. */
typedef struct ByteArrayRef {
    uint8_t *data;
    uint32_t count;
    int32_t lowerBound;
    int32_t lockCount;
} ByteArrayRef;

/* Fixed 516-byte adapter record. Each text is written with its terminating
 * zero and nothing after it. */
typedef struct AdapterInfo {
    char AdapterName[255];
    char Description[255];
    uint8_t reserved[2];
    int32_t Reserved32;
} AdapterInfo;

typedef struct CaptureInfo {
    int32_t CapturedLength;
    int32_t WireLength;
    int32_t Hour;
    int32_t Minute;
    int32_t Second;
    int32_t Microseconds;
} CaptureInfo;

/* Tags of ParamValue: the variant type numbers. */
enum { PW_VT_I2 = 2, PW_VT_I4 = 3, PW_VT_R8 = 5, PW_VT_TEXT = 8 };

/* Value for pwSetParam. A text is UTF-16 with an explicit length in code
 * units; it is converted to the system's narrow encoding (UTF-8). */
typedef struct ParamValue {
    uint16_t tag;
    union {
        int16_t i2;
        int32_t i4;
        double r8;
        struct {
            const uint16_t *chars;
            uint32_t length;
        } text;
    } value;
} ParamValue;

/* Capture modes. */
enum { PW_MODE_DISK = 1, PW_MODE_MEMORY = 8, PW_MODE_MEMORY_SAFE = 100 };

/* Result of the capture calls when a capture file has no more frames. */
enum { PW_END_OF_FILE = -2 };

/* Receives the notices (mode set, dump file name set). Without one they are
 * written to standard error. */
typedef void (*PwNoticeCallback)(const char *text, const char *caption, void *user);

PW_API int32_t PktwellInit(void);
PW_API int32_t PktwellTerminate(void);
PW_API int32_t pwGetAdapterInfo(int16_t index, AdapterInfo *record);
PW_API int32_t pwGetAdapterInfoStr2(int16_t index, char **name, char **description);
PW_API int32_t pwSetCurrentAdapter(int16_t index);
PW_API int32_t pwGetCurrentAdapter(void);
PW_API int32_t pwBegin(int32_t readTimeoutMs);
PW_API int32_t pwEnd(void);
PW_API int32_t pwCapture(ByteArrayRef *frame, CaptureInfo *info);
PW_API char *pwGetErrorDescription(void);

PW_API int32_t pwSetParam(uint32_t code, const ParamValue *value);
PW_API int32_t pwCaptureMem(ByteArrayRef *frame, CaptureInfo *info);
PW_API int32_t pwCaptureMemSafe(ByteArrayRef *frame);
PW_API int32_t pwCaptureDiskSafe(CaptureInfo *info);
PW_API int32_t pwSetKernelBuffSize(int32_t size);
PW_API int32_t pwSendPacket(const ByteArrayRef *frame);

/* Returned strings are length-prefixed: a 32-bit byte count stands before the
 * pointer, a zero byte after the text. Free them with pwFreeString. */
PW_API void pwFreeString(char *text);
PW_API void pwSetNoticeCallback(PwNoticeCallback callback, void *user);

/* Opens a libpcap or pcapng capture file instead of the selected adapter. The
 * capture calls then deliver its frames as live ones and answer
 * PW_END_OF_FILE after the last one; a damaged record gives -1 once, with
 * libpcap's reason as the error text, and the end after it. pwEnd closes it. */
PW_API int32_t pwOpenCaptureFile(const char *path);

/* libpcap's counters for the open live capture: frames received, dropped by
 * the kernel for lack of buffer room, and dropped by the interface. */
PW_API int32_t pwGetStats(uint32_t *received, uint32_t *dropped, uint32_t *interfaceDropped);

#ifdef __cplusplus
}
#endif

#ifdef __cplusplus
static_assert(sizeof(AdapterInfo) == 516, "AdapterInfo crosses the library boundary as 516 bytes");
static_assert(offsetof(AdapterInfo, Description) == 255);
static_assert(offsetof(AdapterInfo, Reserved32) == 512);
static_assert(sizeof(CaptureInfo) == 24);
#else
_Static_assert(sizeof(AdapterInfo) == 516, "AdapterInfo crosses the library boundary as 516 bytes");
#endif

#endif
