#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

extern "C" {
#include <libavutil/pixfmt.h>
}

struct SwsContext;

// The frame formats a shared section may carry, by their header code: 1 "NV12", 2 "YUV420P".
const std::map<int, std::string>& FrameFormatNames();
bool isKnownFrameFormat(int code);

// One cached scaling context, the sizes and formats it was made for, and the YUV picture of the destination size it
// scales into (planar, chroma of full height; aligned rows, made with the context and reused for every frame).
struct ScaleContextEntry
{
    SwsContext* context = nullptr;
    AVPixelFormat srcFormat = AV_PIX_FMT_NONE;
    int srcWidth = 0;
    int srcHeight = 0;
    AVPixelFormat dstFormat = AV_PIX_FMT_NONE;
    int dstWidth = 0;
    int dstHeight = 0;
    AVPixelFormat scaledFormat = AV_PIX_FMT_NONE;
    uint8_t* scaled = nullptr;
    uint8_t* scaledPlanes[3] = {};
    int scaledStrides[3] = {};
    ScaleContextEntry* next = nullptr;
};

// The cached context for these formats and sizes, made (bicubic, into YUV of the destination size) and appended
// on a miss; null when FFmpeg refuses them or the formats are not a known frame format into BGRA (nothing is
// cached then). Main thread only.
ScaleContextEntry* getScaleContext(AVPixelFormat srcFormat, int srcWidth, int srcHeight, AVPixelFormat dstFormat,
                                   int dstWidth, int dstHeight);
int scaleContextCount();
// Frees every cached context (when the module shuts down).
void freeScaleContexts();

// Turns a packed YUV420P or NV12 picture (planes back to back, no row padding) into BGRA in dst, rows of dstStride
// bytes (0: packed rows). Of another size, the planes are scaled bicubic in YUV first, through the cached context,
// as FFmpeg scales them on its way to BGRA; the conversion to BGRA (BT.601, limited range) is made at the
// destination size. srcBytes is the source's byte count as the section gives it; the caller has checked the source
// against its buffer. False for other formats, sizes without a context, or when nothing was written. Allocates
// nothing once the sizes were seen.
bool convertFrame(AVPixelFormat srcFormat, const uint8_t* src, size_t srcBytes, int srcWidth, int srcHeight,
                  AVPixelFormat dstFormat, int dstWidth, int dstHeight, uint8_t* dst, int dstStride);
