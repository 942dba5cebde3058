#include "PluginHost.h"

#include <algorithm>
#include <cstring>
#include <dlfcn.h>

namespace {

PluginHost* g_host = nullptr;

PluginHost& host()
{
    return *g_host;
}

PP_Var undefinedVar()
{
    PP_Var var{};
    var.type = PP_VARTYPE_UNDEFINED;
    return var;
}

// Core
void coreAddRef(PP_Resource id)
{
    host().addRef(id);
}
void coreRelease(PP_Resource id)
{
    host().release(id);
}
PP_Time coreTime()
{
    return double(host().now()) / 1000.0;
}
void coreCallOnMainThread(int32_t delayMs, PP_CompletionCallback callback, int32_t result)
{
    host().post(delayMs, callback, result);
}
PP_Bool coreIsMainThread()
{
    return PP_TRUE;
}
const PPB_Core_1_0 kCore = {&coreAddRef, &coreRelease, &coreTime, &coreTime, &coreCallOnMainThread, &coreIsMainThread};

// Instance
PP_Bool instanceBind(PP_Instance instance, PP_Resource graphics)
{
    return host().bind(instance, graphics);
}
PP_Bool instanceIsFullFrame(PP_Instance)
{
    return PP_FALSE;
}
const PPB_Instance_1_0 kInstance = {&instanceBind, &instanceIsFullFrame};

// Console
void consoleLog(PP_Instance, PP_LogLevel level, PP_Var value)
{
    host().log(level, value);
}
void consoleLogWithSource(PP_Instance, PP_LogLevel level, PP_Var, PP_Var value)
{
    host().log(level, value);
}
const PPB_Console_1_0 kConsole = {&consoleLog, &consoleLogWithSource};

PluginHost::Resource* resourceOf(PP_Resource id, PluginHost::Resource::Kind kind)
{
    PluginHost::Resource* resource = host().resource(id);
    return resource && resource->kind == kind ? resource : nullptr;
}

// View
PluginHost::Resource* viewOf(PP_Resource id)
{
    return resourceOf(id, PluginHost::Resource::View);
}
PP_Bool viewIsView(PP_Resource id)
{
    return viewOf(id) ? PP_TRUE : PP_FALSE;
}
PP_Bool viewGetRect(PP_Resource id, PP_Rect* rect)
{
    PluginHost::Resource* view = viewOf(id);
    if (!view || !rect)
        return PP_FALSE;
    *rect = view->rect;
    return PP_TRUE;
}
PP_Bool viewIsFullscreen(PP_Resource)
{
    return PP_FALSE;
}
PP_Bool viewIsVisible(PP_Resource id)
{
    PluginHost::Resource* view = viewOf(id);
    return view && view->visible ? PP_TRUE : PP_FALSE;
}
const PPB_View_1_0 kView = {&viewIsView, &viewGetRect, &viewIsFullscreen, &viewIsVisible, &viewIsVisible, &viewGetRect};

// Var
void varAddRef(PP_Var var)
{
    host().addRefVar(var);
}
void varRelease(PP_Var var)
{
    host().releaseVar(var);
}
PP_Var varFromUtf8(const char* data, uint32_t length)
{
    return host().newString(std::string(data, length));
}
PP_Var varFromUtf8WithModule(PP_Module module, const char* data, uint32_t length)
{
    if (module != host().module())
        return undefinedVar();
    return varFromUtf8(data, length);
}
const char* varToUtf8(PP_Var var, uint32_t* length)
{
    PluginHost::VarObject* object = host().var(var);
    if (!object || object->type != PP_VARTYPE_STRING) {
        *length = 0;
        return nullptr;
    }
    *length = uint32_t(object->text.size());
    return object->text.data();
}
const PPB_Var_1_1 kVar = {&varAddRef, &varRelease, &varFromUtf8, &varToUtf8};
const PPB_Var_1_0 kVar10 = {&varAddRef, &varRelease, &varFromUtf8WithModule, &varToUtf8};

// Dictionary
PluginHost::VarObject* dictionaryOf(const PP_Var& var)
{
    PluginHost::VarObject* object = host().var(var);
    return object && object->type == PP_VARTYPE_DICTIONARY ? object : nullptr;
}
std::string keyOf(const PP_Var& key)
{
    PluginHost::VarObject* object = host().var(key);
    return object && object->type == PP_VARTYPE_STRING ? object->text : std::string("\x01not a key");
}
PP_Var dictionaryCreate()
{
    return undefinedVar();
}
PP_Var dictionaryGet(PP_Var dict, PP_Var key)
{
    PluginHost::VarObject* object = dictionaryOf(dict);
    if (!object)
        return undefinedVar();
    const auto found = object->entries.find(keyOf(key));
    if (found == object->entries.end())
        return undefinedVar();
    host().addRefVar(found->second);
    return found->second;
}
PP_Bool dictionarySet(PP_Var, PP_Var, PP_Var)
{
    return PP_FALSE;
}
void dictionaryDelete(PP_Var, PP_Var) {}
PP_Bool dictionaryHasKey(PP_Var dict, PP_Var key)
{
    PluginHost::VarObject* object = dictionaryOf(dict);
    return object && object->entries.count(keyOf(key)) ? PP_TRUE : PP_FALSE;
}
PP_Var dictionaryGetKeys(PP_Var)
{
    return undefinedVar();
}
const PPB_VarDictionary_1_0 kDictionary = {&dictionaryCreate, &dictionaryGet,    &dictionarySet,
                                           &dictionaryDelete, &dictionaryHasKey, &dictionaryGetKeys};

// Graphics2D
PP_Resource graphicsCreate(PP_Instance instance, const PP_Size* size, PP_Bool)
{
    if (!size || size->width <= 0 || size->height <= 0)
        return 0;
    PluginHost::Resource graphics{PluginHost::Resource::Graphics};
    graphics.instance = instance;
    graphics.size = *size;
    return host().addResource(graphics);
}
PP_Bool graphicsIsGraphics(PP_Resource id)
{
    PluginHost::Resource* resource = host().resource(id);
    return resource && resource->kind == PluginHost::Resource::Graphics ? PP_TRUE : PP_FALSE;
}
PP_Bool graphicsDescribe(PP_Resource id, PP_Size* size, PP_Bool* opaque)
{
    PluginHost::Resource* resource = host().resource(id);
    if (!resource || resource->kind != PluginHost::Resource::Graphics)
        return PP_FALSE;
    *size = resource->size;
    *opaque = PP_TRUE;
    return PP_TRUE;
}
void graphicsPaint(PP_Resource, PP_Resource, const PP_Point*, const PP_Rect*) {}
void graphicsScroll(PP_Resource, const PP_Rect*, const PP_Point*) {}
void graphicsReplace(PP_Resource id, PP_Resource image)
{
    PluginHost::Resource* graphics = host().resource(id);
    PluginHost::Resource* picture = host().resource(image);
    if (!graphics || graphics->kind != PluginHost::Resource::Graphics || !picture ||
        picture->kind != PluginHost::Resource::Image || picture->size.width != graphics->size.width ||
        picture->size.height != graphics->size.height)
        return; // the browser wants a picture of the surface's exact size
    const PP_Resource previous = graphics->contents;
    host().addRef(image);
    host().resource(id)->contents = image;
    if (previous)
        host().release(previous);
}
int32_t graphicsFlush(PP_Resource id, PP_CompletionCallback callback)
{
    return host().flush(id, callback);
}
const PPB_Graphics2D_1_0 kGraphics = {&graphicsCreate, &graphicsIsGraphics, &graphicsDescribe, &graphicsPaint,
                                      &graphicsScroll, &graphicsReplace,    &graphicsFlush};

// ImageData
PP_ImageDataFormat imageNativeFormat()
{
    return PP_IMAGEDATAFORMAT_BGRA_PREMUL;
}
PP_Bool imageFormatSupported(PP_ImageDataFormat format)
{
    return format == PP_IMAGEDATAFORMAT_BGRA_PREMUL ? PP_TRUE : PP_FALSE;
}
PP_Resource imageCreate(PP_Instance instance, PP_ImageDataFormat format, const PP_Size* size, PP_Bool zero)
{
    if (format != PP_IMAGEDATAFORMAT_BGRA_PREMUL)
        return 0;
    return host().createImage(instance, size, zero == PP_TRUE);
}
PluginHost::Resource* imageOf(PP_Resource id)
{
    return resourceOf(id, PluginHost::Resource::Image);
}
PP_Bool imageIsImage(PP_Resource id)
{
    return imageOf(id) ? PP_TRUE : PP_FALSE;
}
PP_Bool imageDescribe(PP_Resource id, PP_ImageDataDesc* description)
{
    PluginHost::Resource* image = imageOf(id);
    if (!image)
        return PP_FALSE;
    description->format = PP_IMAGEDATAFORMAT_BGRA_PREMUL;
    description->size = image->size;
    description->stride = image->stride;
    return PP_TRUE;
}
void* imageMap(PP_Resource id)
{
    PluginHost::Resource* image = imageOf(id);
    return image ? image->pixels.data() : nullptr;
}
void imageUnmap(PP_Resource) {}
const PPB_ImageData_1_0 kImageData = {
    &imageNativeFormat, &imageFormatSupported, &imageCreate, &imageIsImage, &imageDescribe, &imageMap, &imageUnmap};

// MessageLoop
PP_Resource loopCreate(PP_Instance)
{
    return 0;
}
PP_Resource loopForMainThread()
{
    host().addRef(host().mainLoop());
    return host().mainLoop();
}
int32_t loopAttach(PP_Resource)
{
    return PP_ERROR_FAILED;
}
int32_t loopRun(PP_Resource)
{
    return PP_ERROR_FAILED;
}
int32_t loopPostWork(PP_Resource loop, PP_CompletionCallback callback, int64_t delayMs)
{
    if (loop != host().mainLoop() || !callback.func)
        return PP_ERROR_BADARGUMENT;
    host().post(delayMs, callback, PP_OK);
    return PP_OK;
}
int32_t loopPostQuit(PP_Resource, PP_Bool)
{
    return PP_ERROR_FAILED;
}
const PPB_MessageLoop_1_0 kMessageLoop = {&loopCreate, &loopForMainThread, &loopForMainThread, &loopAttach,
                                          &loopRun,    &loopPostWork,      &loopPostQuit};

const void* getBrowserInterface(const char* name)
{
    return host().browserInterface(name);
}

} // namespace

PluginHost::PluginHost()
{
    g_host = this;
    Resource loop{Resource::Loop};
    m_mainLoop = addResource(loop);
}

PluginHost::~PluginHost()
{
    shutDown();
    g_host = nullptr;
}

PluginHost* PluginHost::current()
{
    return g_host;
}

const void* PluginHost::browserInterface(const char* name)
{
    const std::string asked = name ? name : "";
    m_asked.push_back(asked);
    if (m_withheld.count(asked))
        return nullptr;
    static const std::map<std::string, const void*> tables = {
        {PPB_CORE_INTERFACE_1_0, &kCore},
        {PPB_INSTANCE_INTERFACE_1_0, &kInstance},
        {PPB_CONSOLE_INTERFACE_1_0, &kConsole},
        {PPB_VIEW_INTERFACE_1_0, &kView},
        {PPB_VIEW_INTERFACE_1_1, &kView},
        {PPB_VAR_INTERFACE_1_0, &kVar10},
        {PPB_VAR_INTERFACE_1_1, &kVar},
        {PPB_VAR_DICTIONARY_INTERFACE_1_0, &kDictionary},
        {PPB_GRAPHICS_2D_INTERFACE_1_0, &kGraphics},
        {PPB_IMAGEDATA_INTERFACE_1_0, &kImageData},
        {PPB_MESSAGELOOP_INTERFACE_1_0, &kMessageLoop},
    };
    // Newer versions extend the tables at their end; the host answers only the versions it fills in whole.
    const auto found = tables.find(asked);
    return found == tables.end() ? nullptr : found->second;
}

int32_t PluginHost::load(const std::string& path, std::string* error)
{
    // RTLD_NODELETE: the library stays mapped after shut-down, so that leak reports can name its frames.
    m_library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!m_library) {
        *error = ::dlerror();
        return -1000;
    }
    auto initialise = reinterpret_cast<PPP_InitializeModule_Func>(::dlsym(m_library, "PPP_InitializeModule"));
    m_getInterface = reinterpret_cast<PPP_GetInterface_Func>(::dlsym(m_library, "PPP_GetInterface"));
    m_shutdown = reinterpret_cast<PPP_ShutdownModule_Func>(::dlsym(m_library, "PPP_ShutdownModule"));
    if (!initialise || !m_getInterface || !m_shutdown) {
        *error = "an entry point is missing";
        return -1000;
    }
    const int32_t result = initialise(module(), &getBrowserInterface);
    m_initialised = result == PP_OK;
    return result;
}

const void* PluginHost::pluginInterface(const char* name) const
{
    return m_getInterface ? m_getInterface(name) : nullptr;
}

PP_Instance PluginHost::createInstance()
{
    auto* instance = static_cast<const PPP_Instance_1_1*>(pluginInterface(PPP_INSTANCE_INTERFACE_1_1));
    if (!instance)
        return 0;
    const PP_Instance id = m_nextInstance++;
    const char* names[] = {"type"};
    const char* values[] = {"application/x-zm-video"};
    if (instance->DidCreate(id, 1, names, values) != PP_TRUE)
        return 0;
    m_instances.insert(id);
    return id;
}

void PluginHost::destroyInstance(PP_Instance id)
{
    if (!m_instances.erase(id))
        return;
    auto* instance = static_cast<const PPP_Instance_1_1*>(pluginInterface(PPP_INSTANCE_INTERFACE_1_1));
    instance->DidDestroy(id);
    const auto bound = m_bound.find(id);
    if (bound != m_bound.end()) {
        const PP_Resource graphics = bound->second;
        m_bound.erase(bound);
        release(graphics);
    }
}

void PluginHost::shutDown()
{
    if (!m_initialised)
        return;
    while (!m_instances.empty())
        destroyInstance(*m_instances.begin());
    // What the plug-in left pending is aborted, as the browser does when it tears an element down.
    while (!m_flushes.empty() || !m_work.empty()) {
        if (!m_flushes.empty())
            completeFlush(PP_ERROR_ABORTED);
        if (!m_work.empty()) {
            const Work work = m_work.front();
            m_work.erase(m_work.begin());
            work.callback.func(work.callback.user_data, PP_ERROR_ABORTED);
        }
    }
    m_shutdown();
    m_initialised = false;
}

void PluginHost::sendMessage(PP_Instance instance, const PP_Var& message)
{
    auto* messaging = static_cast<const PPP_Messaging_1_0*>(pluginInterface(PPP_MESSAGING_INTERFACE_1_0));
    if (messaging)
        messaging->HandleMessage(instance, message);
}

void PluginHost::postInt(PP_Instance instance, int32_t value)
{
    PP_Var var{};
    var.type = PP_VARTYPE_INT32;
    var.value.as_int = value;
    sendMessage(instance, var);
}

void PluginHost::postString(PP_Instance instance, const std::string& value)
{
    const PP_Var var = newString(value);
    sendMessage(instance, var);
    releaseVar(var);
}

void PluginHost::postDictionary(PP_Instance instance, const std::map<std::string, std::string>& strings,
                                const std::map<std::string, int32_t>& ints)
{
    VarObject dictionary{PP_VARTYPE_DICTIONARY};
    for (const auto& [key, value] : strings)
        dictionary.entries[key] = newString(value);
    for (const auto& [key, value] : ints) {
        PP_Var var{};
        var.type = PP_VARTYPE_INT32;
        var.value.as_int = value;
        dictionary.entries[key] = var;
    }
    const int64_t id = m_nextVar++;
    m_vars[id] = dictionary;
    PP_Var var{};
    var.type = PP_VARTYPE_DICTIONARY;
    var.value.as_id = id;
    sendMessage(instance, var);
    releaseVar(var);
}

void PluginHost::changeView(PP_Instance instance, int width, int height, bool visible)
{
    Resource view{Resource::View};
    view.instance = instance;
    view.rect = PP_Rect{{10, 20}, {width, height}};
    view.visible = visible;
    const PP_Resource id = addResource(view);
    auto* calls = static_cast<const PPP_Instance_1_1*>(pluginInterface(PPP_INSTANCE_INTERFACE_1_1));
    calls->DidChangeView(instance, id);
    release(id);
}

void PluginHost::post(int64_t delayMs, PP_CompletionCallback callback, int32_t result)
{
    m_work.push_back(Work{m_now + std::max<int64_t>(delayMs, 0), m_order++, callback, result});
}

void PluginHost::advance(int64_t ms)
{
    const int64_t end = m_now + ms;
    for (;;) {
        auto next = std::min_element(m_work.begin(), m_work.end(), [](const Work& a, const Work& b) {
            return a.due != b.due ? a.due < b.due : a.order < b.order;
        });
        if (next == m_work.end() || next->due > end)
            break;
        const Work work = *next;
        m_work.erase(next);
        m_now = std::max(m_now, work.due);
        work.callback.func(work.callback.user_data, work.result);
    }
    m_now = end;
}

bool PluginHost::completeFlush(int32_t result)
{
    if (m_flushes.empty())
        return false;
    const Flush flush = m_flushes.front();
    m_flushes.erase(m_flushes.begin());
    if (Resource* graphics = resource(flush.graphics))
        graphics->flushing = false;
    flush.callback.func(flush.callback.user_data, result);
    release(flush.graphics);
    return true;
}

int32_t PluginHost::flush(PP_Resource id, PP_CompletionCallback callback)
{
    Resource* graphics = resource(id);
    if (!graphics || graphics->kind != Resource::Graphics)
        return PP_ERROR_BADRESOURCE;
    if (graphics->flushing) {
        // As the browser does: the call is taken, and fails later.
        ++m_flushViolations;
        post(0, callback, PP_ERROR_INPROGRESS);
        return PP_OK_COMPLETIONPENDING;
    }
    if (graphics->contents) {
        const Resource* image = resource(graphics->contents);
        Picture picture;
        picture.instance = graphics->instance;
        picture.width = image->size.width;
        picture.height = image->size.height;
        picture.stride = image->stride;
        picture.bgra = image->pixels;
        const auto bound = m_bound.find(graphics->instance);
        picture.bound = bound != m_bound.end() && bound->second == id;
        m_pictures.push_back(std::move(picture));
        const PP_Resource contents = graphics->contents;
        graphics->contents = 0;
        release(contents);
    }
    graphics = resource(id);
    graphics->flushing = true;
    addRef(id);
    m_flushes.push_back(Flush{id, callback});
    return PP_OK_COMPLETIONPENDING;
}

PP_Bool PluginHost::bind(PP_Instance instance, PP_Resource graphics)
{
    if (!m_instances.count(instance))
        return PP_FALSE;
    PP_Resource previous = 0;
    const auto bound = m_bound.find(instance);
    if (bound != m_bound.end())
        previous = bound->second;
    if (graphics) {
        Resource* surface = resource(graphics);
        if (!surface || surface->kind != Resource::Graphics)
            return PP_FALSE;
        addRef(graphics);
        m_bound[instance] = graphics;
    } else {
        m_bound.erase(instance);
    }
    if (previous)
        release(previous);
    return PP_TRUE;
}

PP_Resource PluginHost::createImage(PP_Instance instance, const PP_Size* size, bool zero)
{
    if (m_onImageCreation)
        m_onImageCreation();
    if (m_failImages || !size || size->width <= 0 || size->height <= 0)
        return 0;
    Resource image{Resource::Image};
    image.instance = instance;
    image.size = *size;
    image.stride = size->width * 4 + m_rowPadding;
    // Not zero-filled when not asked: stale bytes show up in a picture the plug-in did not fill.
    image.pixels.assign(size_t(image.stride) * size_t(size->height), zero ? 0 : 0xA5);
    return addResource(std::move(image));
}

PP_Resource PluginHost::addResource(Resource resource)
{
    const PP_Resource id = m_nextResource++;
    m_resources.emplace(id, std::move(resource));
    return id;
}

PluginHost::Resource* PluginHost::resource(PP_Resource id)
{
    const auto found = m_resources.find(id);
    return found == m_resources.end() ? nullptr : &found->second;
}

void PluginHost::addRef(PP_Resource id)
{
    if (Resource* found = resource(id))
        ++found->refs;
}

void PluginHost::release(PP_Resource id)
{
    const auto found = m_resources.find(id);
    if (found == m_resources.end())
        return;
    if (--found->second.refs > 0)
        return;
    const PP_Resource contents = found->second.contents;
    m_resources.erase(found);
    if (contents)
        release(contents);
}

int PluginHost::liveResources() const
{
    int live = 0;
    for (const auto& [id, resource] : m_resources) {
        if (id == m_mainLoop)
            live += resource.refs - 1;
        else
            ++live;
    }
    return live;
}

PP_Var PluginHost::newString(const std::string& text)
{
    const int64_t id = m_nextVar++;
    VarObject object{PP_VARTYPE_STRING};
    object.text = text;
    m_vars[id] = object;
    PP_Var var{};
    var.type = PP_VARTYPE_STRING;
    var.value.as_id = id;
    return var;
}

PluginHost::VarObject* PluginHost::var(const PP_Var& value)
{
    if (value.type != PP_VARTYPE_STRING && value.type != PP_VARTYPE_DICTIONARY)
        return nullptr;
    const auto found = m_vars.find(value.value.as_id);
    return found == m_vars.end() || found->second.type != value.type ? nullptr : &found->second;
}

void PluginHost::addRefVar(const PP_Var& value)
{
    if (VarObject* object = var(value))
        ++object->refs;
}

void PluginHost::releaseVar(const PP_Var& value)
{
    VarObject* object = var(value);
    if (!object || --object->refs > 0)
        return;
    const std::map<std::string, PP_Var> entries = object->entries;
    m_vars.erase(value.value.as_id);
    for (const auto& [key, entry] : entries)
        releaseVar(entry);
}

int PluginHost::liveVars() const
{
    return int(m_vars.size());
}

void PluginHost::log(PP_LogLevel level, const PP_Var& value)
{
    static const char* const levels[] = {"tip", "log", "warning", "error"};
    VarObject* object = var(value);
    const std::string text = object && object->type == PP_VARTYPE_STRING ? object->text : "(not a string)";
    m_console.push_back(std::string(levels[level & 3]) + ": " + text);
}
