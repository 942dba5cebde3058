#include "plugin/FramePainter.h"

#include "plugin/FrameConverter.h"
#include "plugin/ZmPpApiInstance.h"
#include "shared/CShareFrameReader.h"

#include <cstring>

GRAPHICS::GRAPHICS(ZmPpApiInstance* instance, pp::Size* viewSize)
    : m_instance(instance)
    , m_viewSize(viewSize)
{
}

GRAPHICS::~GRAPHICS() = default;

GRAPHICS_2D::GRAPHICS_2D(ZmPpApiInstance* instance, pp::Size* viewSize)
    : GRAPHICS(instance, viewSize)
    , m_callbacks(this)
{
}

GRAPHICS_2D::~GRAPHICS_2D() = default;

pp::ImageData GRAPHICS_2D::newPicture() const
{
    return pp::ImageData(m_instance, PP_IMAGEDATAFORMAT_BGRA_PREMUL, *m_viewSize, false);
}

bool GRAPHICS_2D::Resize(int width, int height, bool first)
{
    *m_viewSize = pp::Size(width, height);
    m_graphics = pp::Graphics2D(m_instance, *m_viewSize, true);
    m_instance->BindGraphics(m_graphics);
    m_images = std::queue<pp::ImageData>();
    if (first) {
        pp::ImageData black = newPicture();
        if (!black.is_null()) {
            std::memset(black.data(), 0, size_t(black.stride()) * size_t(black.size().height()));
            m_images.push(black);
            RenderFromImageQueue();
        }
    }
    return true;
}

bool GRAPHICS_2D::PushFrame(const ShareFrame* frame)
{
    if (!frame || !isKnownFrameFormat(int(frame->header.format)))
        return false;
    pp::ImageData picture = newPicture();
    if (picture.is_null())
        return false;
    const ShareFrameHeader& header = frame->header;
    const AVPixelFormat source = header.format == kShareFormatI420 ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_NV12;
    if (!convertFrame(source, frame->pixels, frame->pixelBytes, int(header.width), int(header.height), AV_PIX_FMT_BGRA,
                      picture.size().width(), picture.size().height(), static_cast<uint8_t*>(picture.data()),
                      picture.stride()))
        return false;
    m_images.push(picture);
    RenderFromImageQueue();
    return true;
}

void GRAPHICS_2D::RenderFromImageQueue()
{
    if (m_images.empty() || m_painting)
        return;
    m_painting = true;
    pp::ImageData picture = m_images.front();
    m_images.pop();
    m_graphics.ReplaceContents(&picture);
    m_graphics.Flush(m_callbacks.NewCallback(&GRAPHICS_2D::DidRender));
}

void GRAPHICS_2D::DidRender(int32_t)
{
    m_painting = false;
    RenderFromImageQueue();
}
