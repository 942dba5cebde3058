#include "plugin/FrameConverter.h"

#include "shared/ShareFrameHeader.h"

extern "C" {
#include <libavutil/imgutils.h>
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
    SwsContext* context = sws_getContext(srcWidth, srcHeight, srcFormat, dstWidth, dstHeight, dstFormat, SWS_BICUBIC,
                                         nullptr, nullptr, nullptr);
    if (!context)
        return nullptr;
    auto* entry = new ScaleContextEntry{context, srcFormat, srcWidth, srcHeight, dstFormat, dstWidth, dstHeight};
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
        sws_freeContext(entry->context);
        delete entry;
        entry = next;
    }
    g_cache = ScaleContextCache();
}

bool convertFrame(AVPixelFormat srcFormat, const uint8_t* src, size_t /*srcBytes*/, int srcWidth, int srcHeight,
                  AVPixelFormat dstFormat, int dstWidth, int dstHeight, uint8_t* dst, int dstStride)
{
    if (!src || !dst)
        return false;
    ScaleContextEntry* entry = getScaleContext(srcFormat, srcWidth, srcHeight, dstFormat, dstWidth, dstHeight);
    if (!entry)
        return false;
    uint8_t* srcPlanes[4] = {};
    int srcLineSizes[4] = {};
    uint8_t* dstPlanes[4] = {};
    int dstLineSizes[4] = {};
    if (av_image_fill_arrays(srcPlanes, srcLineSizes, src, srcFormat, srcWidth, srcHeight, 1) < 0 ||
        av_image_fill_arrays(dstPlanes, dstLineSizes, dst, dstFormat, dstWidth, dstHeight, 1) < 0)
        return false;
    if (dstStride > 0)
        dstLineSizes[0] = dstStride;
    const int rows = sws_scale(entry->context, srcPlanes, srcLineSizes, 0, srcHeight, dstPlanes, dstLineSizes);
    return rows >= 1;
}
