#include "shared/ShareFrameLayout.h"

#include <cstring>

namespace {

uint32_t chromaSize(uint32_t size)
{
    return (size + 1) / 2;
}

ShareFrameHeader* headerOf(void* section)
{
    return static_cast<ShareFrameHeader*>(section);
}

uint8_t* pixelsOf(void* section)
{
    return static_cast<uint8_t*>(section) + kSharePixelOffset;
}

// Width and height within 1..kShareMaxDimension.
bool hasShareDimensions(int64_t width, int64_t height)
{
    return width >= 1 && height >= 1 && width <= kShareMaxDimension && height <= kShareMaxDimension;
}

bool fitsSection(int width, int height, size_t sectionSize)
{
    if (!hasShareDimensions(width, height))
        return false;
    if (sectionSize < kShareMinSectionSize)
        return false;
    return packedYuv420Bytes(uint32_t(width), uint32_t(height)) <= sectionSize - kShareMinSectionSize;
}

void copyPlane(uint8_t* target, const uint8_t* source, int sourceStride, uint32_t rowBytes, uint32_t rows)
{
    if (uint32_t(sourceStride) == rowBytes) {
        std::memcpy(target, source, size_t(rowBytes) * rows);
        return;
    }
    for (uint32_t row = 0; row < rows; ++row)
        std::memcpy(target + size_t(row) * rowBytes, source + size_t(row) * size_t(sourceStride), rowBytes);
}

// The header of a packed I420 frame, published last: width, height, format, plane table, version + 1.
void publishI420Header(void* section, size_t sectionSize, uint32_t width, uint32_t height)
{
    ShareFrameHeader* header = headerOf(section);
    const uint32_t ySize = width * height;
    const uint32_t uSize = chromaSize(width) * chromaSize(height);
    header->capacity = uint32_t(sectionSize - kShareMinSectionSize);
    header->width = width;
    header->height = height;
    header->reserved0 = 0;
    header->format = kShareFormatI420;
    header->yStride = width;
    header->yOffset = 0;
    header->uStride = chromaSize(width);
    header->uOffset = ySize;
    header->vStride = chromaSize(width);
    header->vOffset = ySize + uSize;
    header->reserved1 = 0;
    header->reserved2 = 0;
    header->pixelBytes = ySize + 2 * uSize;
    header->version = header->version + 1;
}

} // namespace

uint64_t packedYuv420Bytes(uint32_t width, uint32_t height)
{
    return uint64_t(width) * height + 2 * uint64_t(chromaSize(width)) * chromaSize(height);
}

bool initShareSection(void* section, size_t sectionSize)
{
    if (!section || sectionSize < kShareMinSectionSize)
        return false;
    std::memset(section, 0, kShareHeaderCopyBytes);
    ShareFrameHeader* header = headerOf(section);
    header->capacity = uint32_t(sectionSize - kShareMinSectionSize);
    header->version = kShareVersionNone;
    return true;
}

bool storeI420Frame(void* section, size_t sectionSize, const I420FrameView& frame)
{
    if (!section || !frame.y || !frame.u || !frame.v || !fitsSection(frame.width, frame.height, sectionSize))
        return false;
    const uint32_t width = uint32_t(frame.width);
    const uint32_t height = uint32_t(frame.height);
    const uint32_t chromaWidth = chromaSize(width);
    if (frame.yStride < frame.width || frame.uStride < int(chromaWidth) || frame.vStride < int(chromaWidth))
        return false;

    const uint32_t chromaHeight = chromaSize(height);
    uint8_t* pixels = pixelsOf(section);
    copyPlane(pixels, frame.y, frame.yStride, width, height);
    pixels += size_t(width) * height;
    copyPlane(pixels, frame.u, frame.uStride, chromaWidth, chromaHeight);
    pixels += size_t(chromaWidth) * chromaHeight;
    copyPlane(pixels, frame.v, frame.vStride, chromaWidth, chromaHeight);
    publishI420Header(section, sectionSize, width, height);
    return true;
}

bool storeBlackFrame(void* section, size_t sectionSize, int width, int height)
{
    if (!section || !fitsSection(width, height, sectionSize))
        return false;
    const size_t ySize = size_t(width) * size_t(height);
    const size_t chroma = size_t(chromaSize(uint32_t(width))) * chromaSize(uint32_t(height));
    uint8_t* pixels = pixelsOf(section);
    std::memset(pixels, 16, ySize);
    std::memset(pixels + ySize, 128, 2 * chroma);
    publishI420Header(section, sectionSize, uint32_t(width), uint32_t(height));
    return true;
}

ShareFrameCheck checkShareFrame(const ShareFrameHeader& header, size_t mappedSize)
{
    if (header.format != kShareFormatNV12 && header.format != kShareFormatI420)
        return ShareFrameCheck::UnknownFormat;
    if (!hasShareDimensions(header.width, header.height))
        return ShareFrameCheck::BadDimensions;
    const uint64_t needed = packedYuv420Bytes(header.width, header.height);
    if (mappedSize < kSharePixelOffset || needed > mappedSize - kSharePixelOffset)
        return ShareFrameCheck::OutsideMapping;
    if (header.pixelBytes != 0 && needed > header.pixelBytes)
        return ShareFrameCheck::BeyondByteCount;
    return ShareFrameCheck::Ok;
}

const char* describeShareFrameCheck(ShareFrameCheck check)
{
    switch (check) {
    case ShareFrameCheck::Ok:
        return "frame is readable";
    case ShareFrameCheck::UnknownFormat:
        return "unknown pixel format";
    case ShareFrameCheck::BadDimensions:
        return "width or height outside 1..4096";
    case ShareFrameCheck::OutsideMapping:
        return "frame reaches past the mapped section";
    case ShareFrameCheck::BeyondByteCount:
        return "frame needs more bytes than the section's byte count";
    }
    return "unknown check";
}
