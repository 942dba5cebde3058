#pragma once

#include "plugin/pp/PepperC.h"

#include <map>

namespace pp {

class Instance;

// The browser's interfaces this plug-in uses, asked for once when the module starts (newest version first).
// Var: exactly one of var (1.1 or 1.2) and var_1_0 is set.
struct BrowserInterfaces
{
    const PPB_Core_1_0* core = nullptr;
    const PPB_Instance_1_0* instance = nullptr;
    const PPB_Console_1_0* console = nullptr;
    const PPB_View_1_0* view = nullptr;
    const PPB_Var_1_1* var = nullptr;
    const PPB_Var_1_0* var_1_0 = nullptr;
    const PPB_VarDictionary_1_0* dictionary = nullptr;
    const PPB_Graphics2D_1_0* graphics2d = nullptr;
    const PPB_ImageData_1_0* image_data = nullptr;
    const PPB_MessageLoop_1_0* message_loop = nullptr;
    const PPB_InputEvent_1_0* input_event = nullptr;
};

// The plug-in module: one per process, made by CreateModule() when the browser initialises the library.
class Module
{
public:
    Module() = default;
    virtual ~Module(); // destroys the instances still alive

    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    // Asks the browser for its interfaces; false when one this plug-in cannot do without is missing.
    virtual bool Init();
    virtual Instance* CreateInstance(PP_Instance instance) = 0;

    // The process-wide module, or null before initialisation and after shut-down.
    static Module* Get();
    // The process-wide module's browser interfaces, or null while there is no module.
    static const BrowserInterfaces* Browser();

    // Records the id and the interface getter, asks for the core interface and runs Init().
    bool InternalInit(PP_Module module, PPB_GetInterface getBrowserInterface);
    const void* GetBrowserInterface(const char* name) const;
    // The plug-in interface table for name, or null.
    const void* GetPluginInterface(const char* name) const;

    PP_Module pp_module() const { return m_module; }
    const BrowserInterfaces& browser() const { return m_browser; }

    Instance* InstanceForPPInstance(PP_Instance instance) const;
    void AddInstance(PP_Instance id, Instance* instance);
    void RemoveInstance(PP_Instance id);

private:
    PP_Module m_module = 0;
    PPB_GetInterface m_getBrowserInterface = nullptr;
    BrowserInterfaces m_browser;
    std::map<PP_Instance, Instance*> m_instances;
};

// Made by the plug-in: its module class.
Module* CreateModule();

// The entry points' work, for the exported functions.
int32_t InitializeModule(PP_Module module, PPB_GetInterface getBrowserInterface);
const void* GetModuleInterface(const char* name);
void ShutdownModule();

} // namespace pp
