// The three functions the browser looks up in the library.
#include "plugin/pp/Module.h"

#define ZM_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))

ZM_PLUGIN_EXPORT int32_t PPP_InitializeModule(PP_Module module, PPB_GetInterface get_browser_interface)
{
    return pp::InitializeModule(module, get_browser_interface);
}

ZM_PLUGIN_EXPORT const void* PPP_GetInterface(const char* interface_name)
{
    return pp::GetModuleInterface(interface_name);
}

ZM_PLUGIN_EXPORT void PPP_ShutdownModule()
{
    pp::ShutdownModule();
}
