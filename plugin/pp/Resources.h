#pragma once

#include "plugin/pp/CompletionCallback.h"
#include "plugin/pp/Geometry.h"
#include "plugin/pp/PepperC.h"

namespace pp {

class Instance;

// A browser resource. Holds one reference; copies hold their own.
class Resource
{
public:
    Resource() = default;
    explicit Resource(PP_Resource resource); // takes a reference of its own
    Resource(const Resource& other);
    Resource& operator=(const Resource& other);
    virtual ~Resource();

    bool is_null() const { return m_resource == 0; }
    PP_Resource pp_resource() const { return m_resource; }

protected:
    // Takes over a reference the browser handed over (a newly made resource).
    void PassRefFromConstructor(PP_Resource resource);
    void Clear();

private:
    PP_Resource m_resource = 0;
};

// An element's position, size and visibility, as of one view change.
class View : public Resource
{
public:
    View() = default;
    explicit View(PP_Resource view);

    Rect GetRect() const;
    Rect GetClipRect() const;
    bool IsVisible() const;
};

// A BGRA (or RGBA) picture in browser-shared memory, mapped for writing while the object lives.
class ImageData : public Resource
{
public:
    ImageData() = default;
    ImageData(const Instance* instance, PP_ImageDataFormat format, const Size& size, bool initToZero);

    const Size& size() const { return m_size; }
    // Bytes per row as the browser laid the picture out (may exceed width x 4).
    int32_t stride() const { return m_stride; }
    void* data() const { return m_data; }

private:
    Size m_size;
    int32_t m_stride = 0;
    void* m_data = nullptr;
};

// The 2D drawing surface bound to an element.
class Graphics2D : public Resource
{
public:
    Graphics2D() = default;
    Graphics2D(const Instance* instance, const Size& size, bool isAlwaysOpaque);

    const Size& size() const { return m_size; }
    // Hands the picture over to become the contents at the next flush; image is empty afterwards.
    void ReplaceContents(ImageData* image);
    // Paints the contents; callback runs when the browser is done (also when the flush failed at once).
    int32_t Flush(const CompletionCallback& callback);

private:
    Size m_size;
};

// The current thread's message loop.
class MessageLoop : public Resource
{
public:
    static MessageLoop GetCurrent();

    // Runs callback after delayMs; a callback the loop refused is dropped here.
    int32_t PostWork(const CompletionCallback& callback, int64_t delayMs = 0);

private:
    MessageLoop() = default;
};

} // namespace pp
