#pragma once

#include "shared/ShareFrameHeader.h"

#include <cstddef>
#include <cstdint>

// Writing frames into a section and checking them before reading: the rules both sides agree on. Every function
// here works on a section that the caller has locked, and on the size of its own mapping.

// One I420 picture as the engine hands it over: three planes with their strides.
struct I420FrameView
{
    int width = 0;
    int height = 0;
    const uint8_t* y = nullptr;
    const uint8_t* u = nullptr;
    const uint8_t* v = nullptr;
    int yStride = 0;
    int uStride = 0;
    int vStride = 0;
};

// Bytes of a packed 4:2:0 picture: Y width x height, then two chroma planes of ((w+1)/2) x ((h+1)/2) (for NV12,
// one interleaved plane of the same total).
uint64_t packedYuv420Bytes(uint32_t width, uint32_t height);

// Writes a fresh header into a section of sectionSize bytes: capacity, version kShareVersionNone, everything else
// 0, and zero in the first pixel bytes. False when the section is smaller than kShareMinSectionSize.
bool initShareSection(void* section, size_t sectionSize);

// Stores a frame packed as I420 (strides width, (width+1)/2, (width+1)/2, whatever the strides given), then
// publishes its header with the next version. A frame that cannot be stored whole (no pixels, a dimension outside
// 1..4096, strides shorter than a row, or more bytes than the section's capacity) is dropped: header, pixels and
// version stay as they were, and the result is false.
bool storeI420Frame(void* section, size_t sectionSize, const I420FrameView& frame);

// A black I420 frame (Y 16, U and V 128) of width x height, stored like storeI420Frame.
bool storeBlackFrame(void* section, size_t sectionSize, int width, int height);

enum class ShareFrameCheck
{
    Ok,
    UnknownFormat,
    BadDimensions,
    OutsideMapping,
    BeyondByteCount
};

// Whether the frame a header describes can be read from a mapping of mappedSize bytes: a known format, width and
// height within 1..4096, and 60 + the bytes its planes need within the mapping and within the header's pixel
// byte count when that is set.
ShareFrameCheck checkShareFrame(const ShareFrameHeader& header, size_t mappedSize);
const char* describeShareFrameCheck(ShareFrameCheck check);
