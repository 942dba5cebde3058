#pragma once

#include <cstddef>
#include <cstdint>

// The start of a shared camera frame section: fifteen little-endian 32-bit fields, then the pixels.
struct ShareFrameHeader
{
    uint32_t capacity;  // section size - 64: the most pixel bytes the section may hold
    uint32_t width;     // frame width in pixels
    uint32_t height;    // frame height in pixels
    uint32_t reserved0; // 0
    uint32_t format;    // kShareFormatNV12 or kShareFormatI420
    uint32_t yStride;   // plane table: stride and offset (from the pixel area) of each plane as stored
    uint32_t yOffset;
    uint32_t uStride;
    uint32_t uOffset;
    uint32_t vStride;
    uint32_t vOffset;
    uint32_t reserved1;  // 0
    uint32_t reserved2;  // 0
    uint32_t version;    // kShareVersionNone at creation; +1 (wrapping) for every frame written
    uint32_t pixelBytes; // number of pixel bytes stored
};

static_assert(sizeof(ShareFrameHeader) == 60, "the header is a binding format between program and plug-in");
static_assert(offsetof(ShareFrameHeader, format) == 16 && offsetof(ShareFrameHeader, version) == 52 &&
                  offsetof(ShareFrameHeader, pixelBytes) == 56,
              "the header is a binding format between program and plug-in");
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the header's fields are little-endian");

constexpr size_t kSharePixelOffset = sizeof(ShareFrameHeader);
// The reader copies this much of a section's start: the header and the first pixel bytes.
constexpr size_t kShareHeaderCopyBytes = 64;
// A section is never smaller than this.
constexpr size_t kShareMinSectionSize = kShareHeaderCopyBytes;
// Every view's section: room for a 640 x 480 picture at three bytes a pixel, plus the header.
constexpr size_t kShareSectionSize = 640 * 480 * 3 + 64;

constexpr uint32_t kShareFormatNV12 = 1;
constexpr uint32_t kShareFormatI420 = 2;
constexpr uint32_t kShareMaxDimension = 4096;
constexpr uint32_t kShareVersionNone = 0xFFFFFFFFu;
