#include "plugin/pp/Module.h"

#include "plugin/pp/Instance.h"
#include "plugin/pp/Resources.h"
#include "plugin/pp/Var.h"

#include <cstring>
#include <initializer_list>

namespace pp {

namespace {

Module* g_module = nullptr;

template <typename Interface>
const Interface* firstAnswered(const Module& module, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        if (const void* table = module.GetBrowserInterface(name))
            return static_cast<const Interface*>(table);
    }
    return nullptr;
}

Instance* instanceFor(PP_Instance id)
{
    return g_module ? g_module->InstanceForPPInstance(id) : nullptr;
}

PP_Bool instanceDidCreate(PP_Instance id, uint32_t argc, const char* argn[], const char* argv[])
{
    if (!g_module)
        return PP_FALSE;
    Instance* instance = g_module->CreateInstance(id);
    if (!instance)
        return PP_FALSE;
    g_module->AddInstance(id, instance);
    if (instance->Init(argc, argn, argv))
        return PP_TRUE;
    g_module->RemoveInstance(id);
    delete instance;
    return PP_FALSE;
}

void instanceDidDestroy(PP_Instance id)
{
    Instance* instance = instanceFor(id);
    if (!instance)
        return;
    g_module->RemoveInstance(id);
    delete instance;
}

void instanceDidChangeView(PP_Instance id, PP_Resource view)
{
    if (Instance* instance = instanceFor(id))
        instance->DidChangeView(View(view));
}

void instanceDidChangeFocus(PP_Instance id, PP_Bool hasFocus)
{
    if (Instance* instance = instanceFor(id))
        instance->DidChangeFocus(hasFocus == PP_TRUE);
}

PP_Bool instanceHandleDocumentLoad(PP_Instance id, PP_Resource loader)
{
    Instance* instance = instanceFor(id);
    return instance && instance->HandleDocumentLoad(Resource(loader)) ? PP_TRUE : PP_FALSE;
}

void messagingHandleMessage(PP_Instance id, PP_Var message)
{
    if (Instance* instance = instanceFor(id))
        instance->HandleMessage(Var(message));
}

PP_Bool inputHandleInputEvent(PP_Instance id, PP_Resource event)
{
    Instance* instance = instanceFor(id);
    return instance && instance->HandleInputEvent(Resource(event)) ? PP_TRUE : PP_FALSE;
}

const PPP_Instance_1_1 kInstanceInterface = {&instanceDidCreate, &instanceDidDestroy, &instanceDidChangeView,
                                             &instanceDidChangeFocus, &instanceHandleDocumentLoad};
const PPP_Messaging_1_0 kMessagingInterface = {&messagingHandleMessage};
const PPP_InputEvent_0_1 kInputEventInterface = {&inputHandleInputEvent};

} // namespace

Module::~Module()
{
    while (!m_instances.empty()) {
        Instance* instance = m_instances.begin()->second;
        m_instances.erase(m_instances.begin());
        delete instance;
    }
}

bool Module::Init()
{
    m_browser.instance = firstAnswered<PPB_Instance_1_0>(*this, {PPB_INSTANCE_INTERFACE_1_0});
    m_browser.console = firstAnswered<PPB_Console_1_0>(*this, {PPB_CONSOLE_INTERFACE_1_0});
    m_browser.view =
        firstAnswered<PPB_View_1_0>(*this, {PPB_VIEW_INTERFACE_1_2, PPB_VIEW_INTERFACE_1_1, PPB_VIEW_INTERFACE_1_0});
    m_browser.var = firstAnswered<PPB_Var_1_1>(*this, {PPB_VAR_INTERFACE_1_2, PPB_VAR_INTERFACE_1_1});
    if (!m_browser.var)
        m_browser.var_1_0 = firstAnswered<PPB_Var_1_0>(*this, {PPB_VAR_INTERFACE_1_0});
    m_browser.dictionary = firstAnswered<PPB_VarDictionary_1_0>(*this, {PPB_VAR_DICTIONARY_INTERFACE_1_0});
    m_browser.graphics2d =
        firstAnswered<PPB_Graphics2D_1_0>(*this, {PPB_GRAPHICS_2D_INTERFACE_1_1, PPB_GRAPHICS_2D_INTERFACE_1_0});
    m_browser.image_data = firstAnswered<PPB_ImageData_1_0>(*this, {PPB_IMAGEDATA_INTERFACE_1_0});
    m_browser.message_loop = firstAnswered<PPB_MessageLoop_1_0>(*this, {PPB_MESSAGELOOP_INTERFACE_1_0});
    return m_browser.instance && m_browser.view && (m_browser.var || m_browser.var_1_0) && m_browser.dictionary &&
           m_browser.graphics2d && m_browser.image_data && m_browser.message_loop;
}

Module* Module::Get()
{
    return g_module;
}

const BrowserInterfaces* Module::Browser()
{
    return g_module ? &g_module->browser() : nullptr;
}

bool Module::InternalInit(PP_Module module, PPB_GetInterface getBrowserInterface)
{
    m_module = module;
    m_getBrowserInterface = getBrowserInterface;
    m_browser.core = firstAnswered<PPB_Core_1_0>(*this, {PPB_CORE_INTERFACE_1_0});
    return m_browser.core && Init();
}

const void* Module::GetBrowserInterface(const char* name) const
{
    return m_getBrowserInterface ? m_getBrowserInterface(name) : nullptr;
}

const void* Module::GetPluginInterface(const char* name) const
{
    if (!name)
        return nullptr;
    if (std::strcmp(name, PPP_INSTANCE_INTERFACE_1_1) == 0)
        return &kInstanceInterface;
    if (std::strcmp(name, PPP_MESSAGING_INTERFACE_1_0) == 0)
        return &kMessagingInterface;
    if (std::strcmp(name, PPP_INPUT_EVENT_INTERFACE_0_1) == 0)
        return &kInputEventInterface;
    return nullptr;
}

Instance* Module::InstanceForPPInstance(PP_Instance instance) const
{
    const auto found = m_instances.find(instance);
    return found == m_instances.end() ? nullptr : found->second;
}

void Module::AddInstance(PP_Instance id, Instance* instance)
{
    m_instances[id] = instance;
}

void Module::RemoveInstance(PP_Instance id)
{
    m_instances.erase(id);
}

int32_t InitializeModule(PP_Module module, PPB_GetInterface getBrowserInterface)
{
    Module* created = CreateModule();
    if (!created)
        return PP_ERROR_FAILED;
    if (!created->InternalInit(module, getBrowserInterface)) {
        delete created;
        return PP_ERROR_FAILED;
    }
    g_module = created;
    return PP_OK;
}

const void* GetModuleInterface(const char* name)
{
    return g_module ? g_module->GetPluginInterface(name) : nullptr;
}

void ShutdownModule()
{
    delete g_module;
    g_module = nullptr;
}

} // namespace pp
