// The frame check a reader runs on a section's header before it reads the pixels: the input is a whole mapped
// section. A frame that passes must lie within it; reading all of its planes must stay inside the input.
#include "shared/ShareFrameLayout.h"

#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exactly sized copy: any read past the section's end is caught.
    std::vector<uint8_t> section(data, data + size);
    if (size < sizeof(ShareFrameHeader))
        return 0;
    ShareFrameHeader header;
    std::memcpy(&header, section.data(), sizeof(header));
    if (checkShareFrame(header, section.size()) != ShareFrameCheck::Ok)
        return 0;
    const uint64_t planeBytes = packedYuv420Bytes(header.width, header.height);
    volatile uint32_t sum = 0;
    const uint8_t* pixels = section.data() + kSharePixelOffset;
    for (uint64_t i = 0; i < planeBytes; ++i)
        sum = sum + pixels[i];
    return 0;
}
