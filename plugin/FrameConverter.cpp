#include "plugin/FrameConverter.h"

#include "shared/ShareFrameHeader.h"

#include <libyuv/convert_argb.h>

extern "C" {
#include <libavutil/mem.h>
#include <libswscale/swscale.h>
}

namespace {

struct ScaleContextCache
{
    ScaleContextEntry* head = nullptr;
    ScaleContextEntry* tail = nullptr;
    int count = 0;
};

ScaleContextCache g_cache;

// Rows of the scaled picture start on this boundary, as the scaler's vector code likes them.
constexpr int kRowAlign = 64;

int alignedRow(int bytes)
{
    return (bytes + kRowAlign - 1) / kRowAlign * kRowAlign;
}

bool isConvertible(AVPixelFormat srcFormat, AVPixelFormat dstFormat)
{
    return (srcFormat == AV_PIX_FMT_YUV420P || srcFormat == AV_PIX_FMT_NV12) && dstFormat == AV_PIX_FMT_BGRA;
}

// The packed planes of a source picture.
struct SourcePlanes
{
    const uint8_t* planes[3] = {};
    int strides[3] = {};
};

SourcePlanes packedPlanes(AVPixelFormat format, const uint8_t* src, int width, int height)
{
    SourcePlanes source;
    const int chromaWidth = (width + 1) / 2;
    const size_t lumaBytes = size_t(width) * size_t(height);
    source.planes[0] = src;
    source.strides[0] = width;
    source.planes[1] = src + lumaBytes;
    if (format == AV_PIX_FMT_NV12) {
        source.strides[1] = 2 * chromaWidth;
    } else {
        source.strides[1] = chromaWidth;
        source.planes[2] = source.planes[1] + size_t(chromaWidth) * size_t((height + 1) / 2);
        source.strides[2] = chromaWidth;
    }
    return source;
}

// The layout pictures are scaled into: chroma of full height, and of half width as the conversion to BGRA uses it,
// or, for an odd width, of full width (FFmpeg interpolates chroma fully then).
AVPixelFormat scaledFormatFor(int dstWidth)
{
    return dstWidth % 2 != 0 ? AV_PIX_FMT_YUV444P : AV_PIX_FMT_YUV422P;
}

// Planes of one of the layouts into BGRA rows (libyuv's ARGB is BGRA in memory).
bool toBgra(AVPixelFormat format, const uint8_t* const planes[3], const int strides[3], int width, int height,
            uint8_t* dst, int dstStride)
{
    switch (format) {
    case AV_PIX_FMT_NV12:
        return libyuv::NV12ToARGB(planes[0], strides[0], planes[1], strides[1], dst, dstStride, width, height) == 0;
    case AV_PIX_FMT_YUV420P:
        return libyuv::I420ToARGB(planes[0], strides[0], planes[1], strides[1], planes[2], strides[2], dst, dstStride,
                                  width, height) == 0;
    case AV_PIX_FMT_YUV422P:
        return libyuv::I422ToARGB(planes[0], strides[0], planes[1], strides[1], planes[2], strides[2], dst, dstStride,
                                  width, height) == 0;
    case AV_PIX_FMT_YUV444P:
        return libyuv::I444ToARGB(planes[0], strides[0], planes[1], strides[1], planes[2], strides[2], dst, dstStride,
                                  width, height) == 0;
    default:
        return false;
    }
}

void freeEntry(ScaleContextEntry* entry)
{
    sws_freeContext(entry->context);
    av_free(entry->scaled);
    delete entry;
}

} // namespace

const std::map<int, std::string>& FrameFormatNames()
{
    static const std::map<int, std::string> names = {{int(kShareFormatNV12), "NV12"},
                                                     {int(kShareFormatI420), "YUV420P"}};
    return names;
}

bool isKnownFrameFormat(int code)
{
    return FrameFormatNames().count(code) != 0;
}

ScaleContextEntry* getScaleContext(AVPixelFormat srcFormat, int srcWidth, int srcHeight, AVPixelFormat dstFormat,
                                   int dstWidth, int dstHeight)
{
    for (ScaleContextEntry* entry = g_cache.head; entry; entry = entry->next) {
        if (entry->srcFormat == srcFormat && entry->srcWidth == srcWidth && entry->srcHeight == srcHeight &&
            entry->dstFormat == dstFormat && entry->dstWidth == dstWidth && entry->dstHeight == dstHeight)
            return entry;
    }
    if (!isConvertible(srcFormat, dstFormat))
        return nullptr;
    const AVPixelFormat scaledFormat = scaledFormatFor(dstWidth);
    SwsContext* context = sws_getContext(srcWidth, srcHeight, srcFormat, dstWidth, dstHeight, scaledFormat, SWS_BICUBIC,
                                         nullptr, nullptr, nullptr);
    if (!context)
        return nullptr;
    auto* entry = new ScaleContextEntry{context, srcFormat, srcWidth, srcHeight, dstFormat, dstWidth, dstHeight};
    entry->scaledFormat = scaledFormat;
    const int lumaStride = alignedRow(dstWidth);
    const int chromaStride = alignedRow(scaledFormat == AV_PIX_FMT_YUV444P ? dstWidth : (dstWidth + 1) / 2);
    const size_t lumaBytes = size_t(lumaStride) * size_t(dstHeight);
    const size_t chromaBytes = size_t(chromaStride) * size_t(dstHeight);
    entry->scaled = static_cast<uint8_t*>(av_malloc(lumaBytes + 2 * chromaBytes));
    if (!entry->scaled) {
        freeEntry(entry);
        return nullptr;
    }
    entry->scaledPlanes[0] = entry->scaled;
    entry->scaledPlanes[1] = entry->scaled + lumaBytes;
    entry->scaledPlanes[2] = entry->scaledPlanes[1] + chromaBytes;
    entry->scaledStrides[0] = lumaStride;
    entry->scaledStrides[1] = chromaStride;
    entry->scaledStrides[2] = chromaStride;
    if (g_cache.tail)
        g_cache.tail->next = entry;
    else
        g_cache.head = entry;
    g_cache.tail = entry;
    ++g_cache.count;
    return entry;
}

int scaleContextCount()
{
    return g_cache.count;
}

void freeScaleContexts()
{
    ScaleContextEntry* entry = g_cache.head;
    while (entry) {
        ScaleContextEntry* next = entry->next;
        freeEntry(entry);
        entry = next;
    }
    g_cache = ScaleContextCache();
}

bool convertFrame(AVPixelFormat srcFormat, const uint8_t* src, size_t /*srcBytes*/, int srcWidth, int srcHeight,
                  AVPixelFormat dstFormat, int dstWidth, int dstHeight, uint8_t* dst, int dstStride)
{
    if (!src || !dst || !isConvertible(srcFormat, dstFormat) || srcWidth < 1 || srcHeight < 1 || dstWidth < 1 ||
        dstHeight < 1)
        return false;
    if (dstStride <= 0)
        dstStride = dstWidth * 4;
    const SourcePlanes source = packedPlanes(srcFormat, src, srcWidth, srcHeight);
    if (srcWidth == dstWidth && srcHeight == dstHeight)
        return toBgra(srcFormat, source.planes, source.strides, dstWidth, dstHeight, dst, dstStride);
    ScaleContextEntry* entry = getScaleContext(srcFormat, srcWidth, srcHeight, dstFormat, dstWidth, dstHeight);
    if (!entry)
        return false;
    const int rows = sws_scale(entry->context, source.planes, source.strides, 0, srcHeight, entry->scaledPlanes,
                               entry->scaledStrides);
    if (rows < 1)
        return false;
    return toBgra(entry->scaledFormat, entry->scaledPlanes, entry->scaledStrides, dstWidth, dstHeight, dst, dstStride);
}
