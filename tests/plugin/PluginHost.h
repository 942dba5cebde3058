#pragma once

// A stand-in for the browser, for the video plug-in's tests: it loads the library with dlopen, answers its
// interface requests with tables of its own, creates instances, sends messages, changes views, runs posted work
// on a virtual clock, completes flushes when told to, and keeps every picture the plug-in painted.

#include "plugin/pp/PepperC.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

class PluginHost
{
public:
    // One painted picture: the contents of a flush, as BGRA rows of the picture's stride.
    struct Picture
    {
        PP_Instance instance = 0;
        int width = 0;
        int height = 0;
        int stride = 0;
        bool bound = false; // the surface was the instance's bound one
        std::vector<uint8_t> bgra;

        // Blue, green, red, alpha at (x, y).
        const uint8_t* pixel(int x, int y) const { return bgra.data() + size_t(y) * size_t(stride) + size_t(x) * 4; }
    };

    PluginHost();
    ~PluginHost(); // shutDown()

    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Interfaces the host pretends not to have (set before load()).
    void withhold(const std::string& interfaceName) { m_withheld.insert(interfaceName); }
    // Extra bytes at the end of every picture row (pictures are never tightly packed unless 0).
    void setRowPadding(int bytes) { m_rowPadding = bytes; }
    void setFailImageCreation(bool fail) { m_failImages = fail; }
    // Runs whenever the plug-in asks for a picture (null: nothing).
    void setOnImageCreation(std::function<void()> hook) { m_onImageCreation = std::move(hook); }

    // Loads the library and calls its initialisation; the result is PPP_InitializeModule's (or -1000 when the
    // library or an entry point is missing, with error set).
    int32_t load(const std::string& path, std::string* error);
    const void* pluginInterface(const char* name) const;
    const std::vector<std::string>& askedInterfaces() const { return m_asked; }

    PP_Instance createInstance();
    void destroyInstance(PP_Instance instance);
    // Destroys the instances, aborts pending work and flushes, and shuts the module down.
    void shutDown();

    // Messages: an int, a string, or a dictionary of string keys to strings or ints.
    void postInt(PP_Instance instance, int32_t value);
    void postString(PP_Instance instance, const std::string& value);
    void postDictionary(PP_Instance instance, const std::map<std::string, std::string>& strings,
                        const std::map<std::string, int32_t>& ints = {});
    void changeView(PP_Instance instance, int width, int height, bool visible);

    // The virtual clock: runs every piece of posted work that falls due within ms, in time order.
    void advance(int64_t ms);
    int64_t now() const { return m_now; }
    int pendingWork() const { return int(m_work.size()); }

    int pendingFlushes() const { return int(m_flushes.size()); }
    // Completes the oldest outstanding flush with result; false when there is none.
    bool completeFlush(int32_t result = PP_OK);
    // Flushes asked for while one was outstanding on the same surface.
    int flushViolations() const { return m_flushViolations; }

    const std::vector<Picture>& pictures() const { return m_pictures; }
    const std::vector<std::string>& console() const { return m_console; }
    // Resources and values the plug-in still holds (the message loop's reference of the host not counted).
    int liveResources() const;
    int liveVars() const;

    // Used by the browser tables.
    struct Work
    {
        int64_t due;
        uint64_t order;
        PP_CompletionCallback callback;
        int32_t result;
    };
    struct Resource
    {
        enum Kind
        {
            View,
            Graphics,
            Image,
            Loop
        };
        explicit Resource(Kind k)
            : kind(k)
        {
        }
        Kind kind;
        int refs = 1;
        PP_Instance instance = 0;
        PP_Rect rect{{0, 0}, {0, 0}};
        bool visible = false;
        PP_Size size{0, 0};
        int stride = 0;
        std::vector<uint8_t> pixels;
        PP_Resource contents = 0; // Graphics: the picture given by ReplaceContents
        bool flushing = false;    // Graphics: a flush is outstanding
    };
    struct VarObject
    {
        explicit VarObject(PP_VarType t = PP_VARTYPE_UNDEFINED)
            : type(t)
        {
        }
        PP_VarType type;
        int refs = 1;
        std::string text;
        std::map<std::string, PP_Var> entries;
    };
    struct Flush
    {
        PP_Resource graphics;
        PP_CompletionCallback callback;
    };

    static PluginHost* current();
    const void* browserInterface(const char* name);
    void post(int64_t delayMs, PP_CompletionCallback callback, int32_t result);
    PP_Resource addResource(Resource resource);
    Resource* resource(PP_Resource id);
    void addRef(PP_Resource id);
    void release(PP_Resource id);
    PP_Var newString(const std::string& text);
    VarObject* var(const PP_Var& value);
    void addRefVar(const PP_Var& value);
    void releaseVar(const PP_Var& value);
    void log(PP_LogLevel level, const PP_Var& value);
    int32_t flush(PP_Resource graphics, PP_CompletionCallback callback);
    PP_Bool bind(PP_Instance instance, PP_Resource graphics);
    PP_Resource createImage(PP_Instance instance, const PP_Size* size, bool zero);
    PP_Resource mainLoop() const { return m_mainLoop; }
    PP_Module module() const { return 1; }

private:
    void sendMessage(PP_Instance instance, const PP_Var& message);

    void* m_library = nullptr;
    PPP_ShutdownModule_Func m_shutdown = nullptr;
    PPP_GetInterface_Func m_getInterface = nullptr;
    bool m_initialised = false;
    std::set<std::string> m_withheld;
    std::vector<std::string> m_asked;
    int m_rowPadding = 64;
    bool m_failImages = false;
    std::function<void()> m_onImageCreation;

    std::set<PP_Instance> m_instances;
    PP_Instance m_nextInstance = 100;
    std::map<PP_Instance, PP_Resource> m_bound;

    std::map<PP_Resource, Resource> m_resources;
    PP_Resource m_nextResource = 1000;
    PP_Resource m_mainLoop = 0;
    std::map<int64_t, VarObject> m_vars;
    int64_t m_nextVar = 1;

    int64_t m_now = 0;
    uint64_t m_order = 0;
    std::vector<Work> m_work;
    std::vector<Flush> m_flushes;
    int m_flushViolations = 0;
    std::vector<Picture> m_pictures;
    std::vector<std::string> m_console;
};
