#include "plugin/pp/Resources.h"

#include "plugin/pp/Instance.h"
#include "plugin/pp/Module.h"

namespace pp {

namespace {

const PPB_Core_1_0* core()
{
    const BrowserInterfaces* b = Module::Browser();
    return b ? b->core : nullptr;
}

} // namespace

Resource::Resource(PP_Resource resource)
    : m_resource(resource)
{
    if (m_resource && core())
        core()->AddRefResource(m_resource);
}

Resource::Resource(const Resource& other)
    : Resource(other.m_resource)
{
}

Resource& Resource::operator=(const Resource& other)
{
    if (this != &other) {
        if (other.m_resource && core())
            core()->AddRefResource(other.m_resource);
        Clear();
        m_resource = other.m_resource;
    }
    return *this;
}

Resource::~Resource()
{
    Clear();
}

void Resource::PassRefFromConstructor(PP_Resource resource)
{
    Clear();
    m_resource = resource;
}

void Resource::Clear()
{
    if (m_resource && core())
        core()->ReleaseResource(m_resource);
    m_resource = 0;
}

View::View(PP_Resource view)
    : Resource(view)
{
}

Rect View::GetRect() const
{
    PP_Rect rect{{0, 0}, {0, 0}};
    const BrowserInterfaces* b = Module::Browser();
    if (!is_null() && b && b->view)
        b->view->GetRect(pp_resource(), &rect);
    return Rect(rect);
}

Rect View::GetClipRect() const
{
    PP_Rect rect{{0, 0}, {0, 0}};
    const BrowserInterfaces* b = Module::Browser();
    if (!is_null() && b && b->view)
        b->view->GetClipRect(pp_resource(), &rect);
    return Rect(rect);
}

bool View::IsVisible() const
{
    const BrowserInterfaces* b = Module::Browser();
    return !is_null() && b && b->view && b->view->IsVisible(pp_resource()) == PP_TRUE;
}

ImageData::ImageData(const Instance* instance, PP_ImageDataFormat format, const Size& size, bool initToZero)
{
    const BrowserInterfaces* b = Module::Browser();
    if (!instance || !b || !b->image_data || size.IsEmpty())
        return;
    const PP_Resource image =
        b->image_data->Create(instance->pp_instance(), format, &size.pp_size(), initToZero ? PP_TRUE : PP_FALSE);
    if (!image)
        return;
    PassRefFromConstructor(image);
    PP_ImageDataDesc description{};
    void* data = b->image_data->Map(image);
    if (!data || b->image_data->Describe(image, &description) != PP_TRUE ||
        description.stride < description.size.width * 4 || description.size.width != size.width() ||
        description.size.height != size.height()) {
        Clear();
        return;
    }
    m_size = size;
    m_stride = description.stride;
    m_data = data;
}

Graphics2D::Graphics2D(const Instance* instance, const Size& size, bool isAlwaysOpaque)
{
    const BrowserInterfaces* b = Module::Browser();
    if (!instance || !b || !b->graphics2d)
        return;
    const PP_Resource graphics =
        b->graphics2d->Create(instance->pp_instance(), &size.pp_size(), isAlwaysOpaque ? PP_TRUE : PP_FALSE);
    if (!graphics)
        return;
    PassRefFromConstructor(graphics);
    m_size = size;
}

void Graphics2D::ReplaceContents(ImageData* image)
{
    const BrowserInterfaces* b = Module::Browser();
    if (!is_null() && image && !image->is_null() && b && b->graphics2d)
        b->graphics2d->ReplaceContents(pp_resource(), image->pp_resource());
    if (image)
        *image = ImageData();
}

int32_t Graphics2D::Flush(const CompletionCallback& callback)
{
    const BrowserInterfaces* b = Module::Browser();
    int32_t result = PP_ERROR_BADRESOURCE;
    if (!is_null() && b && b->graphics2d)
        result = b->graphics2d->Flush(pp_resource(), callback.pp_completion_callback());
    // The browser runs the callback only for a pending flush; otherwise it is run here, later, with the result.
    if (result != PP_OK_COMPLETIONPENDING) {
        if (b && b->core)
            b->core->CallOnMainThread(0, callback.pp_completion_callback(), result);
        else
            callback.Drop();
    }
    return result;
}

MessageLoop MessageLoop::GetCurrent()
{
    MessageLoop loop;
    const BrowserInterfaces* b = Module::Browser();
    if (b && b->message_loop)
        loop.PassRefFromConstructor(b->message_loop->GetCurrent());
    return loop;
}

int32_t MessageLoop::PostWork(const CompletionCallback& callback, int64_t delayMs)
{
    const BrowserInterfaces* b = Module::Browser();
    int32_t result = PP_ERROR_BADRESOURCE;
    if (!is_null() && b && b->message_loop)
        result = b->message_loop->PostWork(pp_resource(), callback.pp_completion_callback(), delayMs);
    if (result != PP_OK)
        callback.Drop();
    return result;
}

} // namespace pp
