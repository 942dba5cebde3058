#pragma once

// Our own C declarations of the browser/plug-in binary interface (the embedded browser's plug-in API), written
// from what this plug-in uses. Layouts must match the browser's: the static asserts below hold the sizes measured
// on this platform. Interface tables list their functions in the browser's order; a table is only ever extended
// at its end by a newer version.

#include <cstddef>
#include <cstdint>

extern "C" {

typedef int32_t PP_Instance;
typedef int32_t PP_Module;
typedef int32_t PP_Resource;
typedef double PP_Time;
typedef double PP_TimeTicks;

typedef enum
{
    PP_FALSE = 0,
    PP_TRUE = 1
} PP_Bool;

// Results: 0 or more is success, negative values are errors.
enum
{
    PP_OK = 0,
    PP_OK_COMPLETIONPENDING = -1,
    PP_ERROR_FAILED = -2,
    PP_ERROR_ABORTED = -3,
    PP_ERROR_BADARGUMENT = -4,
    PP_ERROR_BADRESOURCE = -5,
    PP_ERROR_NOINTERFACE = -6,
    PP_ERROR_NOACCESS = -7,
    PP_ERROR_NOMEMORY = -8,
    PP_ERROR_NOSPACE = -9,
    PP_ERROR_NOQUOTA = -10,
    PP_ERROR_INPROGRESS = -11
};

struct PP_Point
{
    int32_t x;
    int32_t y;
};

struct PP_Size
{
    int32_t width;
    int32_t height;
};

struct PP_Rect
{
    PP_Point point;
    PP_Size size;
};

typedef enum
{
    PP_VARTYPE_UNDEFINED = 0,
    PP_VARTYPE_NULL = 1,
    PP_VARTYPE_BOOL = 2,
    PP_VARTYPE_INT32 = 3,
    PP_VARTYPE_DOUBLE = 4,
    PP_VARTYPE_STRING = 5,
    PP_VARTYPE_OBJECT = 6,
    PP_VARTYPE_ARRAY = 7,
    PP_VARTYPE_DICTIONARY = 8,
    PP_VARTYPE_ARRAY_BUFFER = 9,
    PP_VARTYPE_RESOURCE = 10
} PP_VarType;

union PP_VarValue {
    PP_Bool as_bool;
    int32_t as_int;
    double as_double;
    int64_t as_id; // strings, dictionaries and other reference-counted values
};

// A tagged value: the type at offset 0, the payload at offset 8.
struct PP_Var
{
    PP_VarType type;
    int32_t padding;
    PP_VarValue value;
};

typedef void (*PP_CompletionCallback_Func)(void* user_data, int32_t result);

enum
{
    // The callback always runs later, never from within the call that took it.
    PP_COMPLETIONCALLBACK_FLAG_NONE = 0,
    PP_COMPLETIONCALLBACK_FLAG_OPTIONAL = 1
};

struct PP_CompletionCallback
{
    PP_CompletionCallback_Func func;
    void* user_data;
    int32_t flags;
};

typedef enum
{
    PP_LOGLEVEL_TIP = 0,
    PP_LOGLEVEL_LOG = 1,
    PP_LOGLEVEL_WARNING = 2,
    PP_LOGLEVEL_ERROR = 3
} PP_LogLevel;

typedef enum
{
    PP_IMAGEDATAFORMAT_BGRA_PREMUL = 0,
    PP_IMAGEDATAFORMAT_RGBA_PREMUL = 1
} PP_ImageDataFormat;

struct PP_ImageDataDesc
{
    PP_ImageDataFormat format;
    PP_Size size;
    int32_t stride;
};

typedef const void* (*PPB_GetInterface)(const char* interface_name);

// Browser interfaces.

struct PPB_Core_1_0
{
    void (*AddRefResource)(PP_Resource resource);
    void (*ReleaseResource)(PP_Resource resource);
    PP_Time (*GetTime)(void);
    PP_TimeTicks (*GetTimeTicks)(void);
    void (*CallOnMainThread)(int32_t delay_in_milliseconds, PP_CompletionCallback callback, int32_t result);
    PP_Bool (*IsMainThread)(void);
};

struct PPB_Instance_1_0
{
    PP_Bool (*BindGraphics)(PP_Instance instance, PP_Resource device);
    PP_Bool (*IsFullFrame)(PP_Instance instance);
};

struct PPB_Console_1_0
{
    void (*Log)(PP_Instance instance, PP_LogLevel level, PP_Var value);
    void (*LogWithSource)(PP_Instance instance, PP_LogLevel level, PP_Var source, PP_Var value);
};

// 1.1 adds the scales, 1.2 the scroll offset, each at the end.
struct PPB_View_1_0
{
    PP_Bool (*IsView)(PP_Resource resource);
    PP_Bool (*GetRect)(PP_Resource resource, PP_Rect* rect);
    PP_Bool (*IsFullscreen)(PP_Resource resource);
    PP_Bool (*IsVisible)(PP_Resource resource);
    PP_Bool (*IsPageVisible)(PP_Resource resource);
    PP_Bool (*GetClipRect)(PP_Resource resource, PP_Rect* clip);
};

struct PPB_Var_1_0
{
    void (*AddRef)(PP_Var var);
    void (*Release)(PP_Var var);
    PP_Var (*VarFromUtf8)(PP_Module module, const char* data, uint32_t len);
    const char* (*VarToUtf8)(PP_Var var, uint32_t* len);
};

// 1.1 drops the module argument; 1.2 adds resource conversions at the end.
struct PPB_Var_1_1
{
    void (*AddRef)(PP_Var var);
    void (*Release)(PP_Var var);
    PP_Var (*VarFromUtf8)(const char* data, uint32_t len);
    const char* (*VarToUtf8)(PP_Var var, uint32_t* len);
};

struct PPB_VarDictionary_1_0
{
    PP_Var (*Create)(void);
    PP_Var (*Get)(PP_Var dict, PP_Var key);
    PP_Bool (*Set)(PP_Var dict, PP_Var key, PP_Var value);
    void (*Delete)(PP_Var dict, PP_Var key);
    PP_Bool (*HasKey)(PP_Var dict, PP_Var key);
    PP_Var (*GetKeys)(PP_Var dict);
};

// 1.1 adds SetScale and GetScale, 1.2 SetLayerTransform, each at the end.
struct PPB_Graphics2D_1_0
{
    PP_Resource (*Create)(PP_Instance instance, const PP_Size* size, PP_Bool is_always_opaque);
    PP_Bool (*IsGraphics2D)(PP_Resource resource);
    PP_Bool (*Describe)(PP_Resource graphics_2d, PP_Size* size, PP_Bool* is_always_opaque);
    void (*PaintImageData)(PP_Resource graphics_2d, PP_Resource image_data, const PP_Point* top_left,
                           const PP_Rect* src_rect);
    void (*Scroll)(PP_Resource graphics_2d, const PP_Rect* clip_rect, const PP_Point* amount);
    void (*ReplaceContents)(PP_Resource graphics_2d, PP_Resource image_data);
    int32_t (*Flush)(PP_Resource graphics_2d, PP_CompletionCallback callback);
};

struct PPB_ImageData_1_0
{
    PP_ImageDataFormat (*GetNativeImageDataFormat)(void);
    PP_Bool (*IsImageDataFormatSupported)(PP_ImageDataFormat format);
    PP_Resource (*Create)(PP_Instance instance, PP_ImageDataFormat format, const PP_Size* size, PP_Bool init_to_zero);
    PP_Bool (*IsImageData)(PP_Resource image_data);
    PP_Bool (*Describe)(PP_Resource image_data, PP_ImageDataDesc* desc);
    void* (*Map)(PP_Resource image_data);
    void (*Unmap)(PP_Resource image_data);
};

struct PPB_MessageLoop_1_0
{
    PP_Resource (*Create)(PP_Instance instance);
    PP_Resource (*GetForMainThread)(void);
    PP_Resource (*GetCurrent)(void);
    int32_t (*AttachToCurrentThread)(PP_Resource message_loop);
    int32_t (*Run)(PP_Resource message_loop);
    int32_t (*PostWork)(PP_Resource message_loop, PP_CompletionCallback callback, int64_t delay_ms);
    int32_t (*PostQuit)(PP_Resource message_loop, PP_Bool should_destroy);
};

struct PPB_InputEvent_1_0
{
    int32_t (*RequestInputEvents)(PP_Instance instance, uint32_t event_classes);
    int32_t (*RequestFilteringInputEvents)(PP_Instance instance, uint32_t event_classes);
    void (*ClearInputEventRequest)(PP_Instance instance, uint32_t event_classes);
    PP_Bool (*IsInputEvent)(PP_Resource resource);
    int32_t (*GetType)(PP_Resource event);
    PP_TimeTicks (*GetTimeStamp)(PP_Resource event);
    uint32_t (*GetModifiers)(PP_Resource event);
};

// Plug-in interfaces (the browser asks the module for them).

struct PPP_Instance_1_1
{
    PP_Bool (*DidCreate)(PP_Instance instance, uint32_t argc, const char* argn[], const char* argv[]);
    void (*DidDestroy)(PP_Instance instance);
    void (*DidChangeView)(PP_Instance instance, PP_Resource view);
    void (*DidChangeFocus)(PP_Instance instance, PP_Bool has_focus);
    PP_Bool (*HandleDocumentLoad)(PP_Instance instance, PP_Resource url_loader);
};

struct PPP_Messaging_1_0
{
    void (*HandleMessage)(PP_Instance instance, PP_Var message);
};

struct PPP_InputEvent_0_1
{
    PP_Bool (*HandleInputEvent)(PP_Instance instance, PP_Resource input_event);
};

// The module's entry points.
typedef int32_t (*PPP_InitializeModule_Func)(PP_Module module, PPB_GetInterface get_browser_interface);
typedef const void* (*PPP_GetInterface_Func)(const char* interface_name);
typedef void (*PPP_ShutdownModule_Func)(void);

} // extern "C"

// Interface names, as the browser and the module answer to them.
#define PPB_CORE_INTERFACE_1_0 "PPB_Core;1.0"
#define PPB_INSTANCE_INTERFACE_1_0 "PPB_Instance;1.0"
#define PPB_CONSOLE_INTERFACE_1_0 "PPB_Console;1.0"
#define PPB_VIEW_INTERFACE_1_2 "PPB_View;1.2"
#define PPB_VIEW_INTERFACE_1_1 "PPB_View;1.1"
#define PPB_VIEW_INTERFACE_1_0 "PPB_View;1.0"
#define PPB_VAR_INTERFACE_1_2 "PPB_Var;1.2"
#define PPB_VAR_INTERFACE_1_1 "PPB_Var;1.1"
#define PPB_VAR_INTERFACE_1_0 "PPB_Var;1.0"
#define PPB_VAR_DICTIONARY_INTERFACE_1_0 "PPB_VarDictionary;1.0"
#define PPB_GRAPHICS_2D_INTERFACE_1_1 "PPB_Graphics2D;1.1"
#define PPB_GRAPHICS_2D_INTERFACE_1_0 "PPB_Graphics2D;1.0"
#define PPB_IMAGEDATA_INTERFACE_1_0 "PPB_ImageData;1.0"
#define PPB_MESSAGELOOP_INTERFACE_1_0 "PPB_MessageLoop;1.0"
#define PPB_INPUT_EVENT_INTERFACE_1_0 "PPB_InputEvent;1.0"
#define PPP_INSTANCE_INTERFACE_1_1 "PPP_Instance;1.1"
#define PPP_MESSAGING_INTERFACE_1_0 "PPP_Messaging;1.0"
#define PPP_INPUT_EVENT_INTERFACE_0_1 "PPP_InputEvent;0.1"

// Sizes measured with the browser on this platform.
static_assert(sizeof(PP_Instance) == 4 && sizeof(PP_Resource) == 4 && sizeof(PP_Module) == 4, "handles are int32");
static_assert(sizeof(PP_Bool) == 4 && sizeof(PP_VarType) == 4 && sizeof(PP_LogLevel) == 4 &&
                  sizeof(PP_ImageDataFormat) == 4,
              "enums and the boolean are 4 bytes");
static_assert(sizeof(PP_Var) == 16 && offsetof(PP_Var, type) == 0 && offsetof(PP_Var, value) == 8,
              "a value is 16 bytes, payload at 8");
static_assert(sizeof(PP_CompletionCallback) == 24, "a completion is 24 bytes, passed by value");
static_assert(sizeof(PP_Point) == 8 && sizeof(PP_Size) == 8 && sizeof(PP_Rect) == 16, "geometry");
static_assert(sizeof(PP_ImageDataDesc) == 16, "image description");
