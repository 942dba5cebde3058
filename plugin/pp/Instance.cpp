#include "plugin/pp/Instance.h"

#include "plugin/pp/Module.h"

namespace pp {

Instance::Instance(PP_Instance instance)
    : m_instance(instance)
{
}

Instance::~Instance() = default;

bool Instance::Init(uint32_t, const char*[], const char*[])
{
    return true;
}

void Instance::DidChangeView(const Rect&, const Rect&) {}

void Instance::DidChangeView(const View& view)
{
    DidChangeView(view.GetRect(), view.GetClipRect());
}

void Instance::DidChangeFocus(bool) {}

bool Instance::HandleInputEvent(const Resource&)
{
    return false;
}

bool Instance::HandleDocumentLoad(const Resource&)
{
    return false;
}

void Instance::HandleMessage(const Var&) {}

bool Instance::BindGraphics(const Graphics2D& graphics)
{
    const BrowserInterfaces* browser = Module::Browser();
    return browser && browser->instance &&
           browser->instance->BindGraphics(m_instance, graphics.pp_resource()) == PP_TRUE;
}

void Instance::LogToConsole(PP_LogLevel level, const Var& value)
{
    const BrowserInterfaces* browser = Module::Browser();
    if (browser && browser->console)
        browser->console->Log(m_instance, level, value.pp_var());
}

} // namespace pp
