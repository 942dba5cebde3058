#pragma once

#include "plugin/pp/CompletionCallback.h"
#include "plugin/pp/Geometry.h"
#include "plugin/pp/Resources.h"

#include <queue>

struct ShareFrame;
class ZmPpApiInstance;

// Paints frames of a shared section into an element, at the element's view size.
class GRAPHICS
{
public:
    // viewSize is the instance's own view size, shared with the painter.
    GRAPHICS(ZmPpApiInstance* instance, pp::Size* viewSize);
    virtual ~GRAPHICS();

    GRAPHICS(const GRAPHICS&) = delete;
    GRAPHICS& operator=(const GRAPHICS&) = delete;

    // A new drawing surface of width x height; the first one shows black at once.
    virtual bool Resize(int width, int height, bool first) = 0;
    // Converts a frame of a locked section, as the reader checked it, to a picture and queues it.
    virtual bool PushFrame(const ShareFrame* frame) = 0;

protected:
    ZmPpApiInstance* m_instance;
    pp::Size* m_viewSize;
};

// Paints through the browser's 2D surface: pictures wait in a first-in first-out queue and leave it one per
// completed flush, so at most one flush is outstanding.
class GRAPHICS_2D : public GRAPHICS
{
public:
    explicit GRAPHICS_2D(ZmPpApiInstance* instance, pp::Size* viewSize);
    ~GRAPHICS_2D() override;

    bool Resize(int width, int height, bool first) override;
    bool PushFrame(const ShareFrame* frame) override;

    size_t queuedPictures() const { return m_images.size(); }
    bool isPainting() const { return m_painting; }

private:
    void RenderFromImageQueue();
    void DidRender(int32_t result);
    pp::ImageData newPicture() const;

    pp::CompletionCallbackFactory<GRAPHICS_2D> m_callbacks;
    pp::Graphics2D m_graphics;
    std::queue<pp::ImageData> m_images;
    bool m_painting = false;
};
