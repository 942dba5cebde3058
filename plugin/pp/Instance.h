#pragma once

#include "plugin/pp/PepperC.h"
#include "plugin/pp/Resources.h"
#include "plugin/pp/Var.h"

namespace pp {

// One plug-in element of a page. The module makes it when the browser creates the element and deletes it when
// the element goes; the browser's calls for the element arrive as these virtual functions.
class Instance
{
public:
    explicit Instance(PP_Instance instance);
    virtual ~Instance();

    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    virtual bool Init(uint32_t argc, const char* argn[], const char* argv[]);
    virtual void DidChangeView(const Rect& position, const Rect& clip);
    // By default calls the rectangle form.
    virtual void DidChangeView(const View& view);
    virtual void DidChangeFocus(bool hasFocus);
    virtual bool HandleInputEvent(const Resource& event);
    virtual bool HandleDocumentLoad(const Resource& urlLoader);
    virtual void HandleMessage(const Var& message);

    PP_Instance pp_instance() const { return m_instance; }

    // Makes graphics the element's drawing surface.
    bool BindGraphics(const Graphics2D& graphics);
    // A line in the page's console.
    void LogToConsole(PP_LogLevel level, const Var& value);

private:
    PP_Instance m_instance;
};

} // namespace pp
