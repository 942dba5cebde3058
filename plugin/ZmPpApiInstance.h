#pragma once

#include "plugin/pp/CompletionCallback.h"
#include "plugin/pp/Geometry.h"
#include "plugin/pp/Instance.h"

#include <memory>
#include <string>

class CShareFrameReader;
class GRAPHICS;

// One video element of the page: told its view id by an "init" message, it polls that view's shared section every
// 50 ms while visible and paints each new frame at the element's size.
class ZmPpApiInstance : public pp::Instance
{
public:
    explicit ZmPpApiInstance(PP_Instance instance);
    ~ZmPpApiInstance() override;

    using pp::Instance::DidChangeView;
    void DidChangeView(const pp::View& view) override;
    void HandleMessage(const pp::Var& message) override;

    // One poll tick; posts the next one 50 ms later while the element is visible.
    void OnDelay_GetFrame(int32_t result);

    const std::string& mappingName() const { return m_mappingName; }

    // The instance whose calls into the shared frame layer run now: its log lines go to that console.
    static ZmPpApiInstance* current();

private:
    void grabFrame(bool onlyNew);

    pp::CompletionCallbackFactory<ZmPpApiInstance> m_pollCallbacks;
    pp::Size m_viewSize;
    bool m_visible = false;
    std::unique_ptr<CShareFrameReader> m_reader;
    std::unique_ptr<GRAPHICS> m_painter;
    std::string m_mappingName;
    bool m_firstResize = true;
    bool m_reportedBadId = false;
};
