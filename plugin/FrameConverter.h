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

// One cached scaling context and the sizes and formats it was made for.
struct ScaleContextEntry
{
    SwsContext* context = nullptr;
    AVPixelFormat srcFormat = AV_PIX_FMT_NONE;
    int srcWidth = 0;
    int srcHeight = 0;
    AVPixelFormat dstFormat = AV_PIX_FMT_NONE;
    int dstWidth = 0;
    int dstHeight = 0;
    ScaleContextEntry* next = nullptr;
};

// The cached context for these formats and sizes, made (bicubic) and appended on a miss; null when FFmpeg refuses
// them (nothing is cached then). Main thread only.
ScaleContextEntry* getScaleContext(AVPixelFormat srcFormat, int srcWidth, int srcHeight, AVPixelFormat dstFormat,
                                   int dstWidth, int dstHeight);
int scaleContextCount();
// Frees every cached context (when the module shuts down).
void freeScaleContexts();

// Converts and scales a packed source picture (planes back to back, no row padding) into dst, one plane of
// dstStride bytes a row (dstStride 0: packed rows). srcBytes is the source's byte count as the section gives it;
// the caller has checked the source against its buffer. False when there is no context or nothing was written.
bool convertFrame(AVPixelFormat srcFormat, const uint8_t* src, size_t srcBytes, int srcWidth, int srcHeight,
                  AVPixelFormat dstFormat, int dstWidth, int dstHeight, uint8_t* dst, int dstStride);
