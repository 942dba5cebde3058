#include "plugin/VarArrayBufferModule.h"

#include "plugin/FrameConverter.h"
#include "plugin/ZmPpApiInstance.h"
#include "shared/ShareLog.h"

#include <cstdio>

extern "C" {
#include <libavutil/log.h>
}

namespace {

void logToCurrentConsole(ShareLogLevel level, const std::string& message)
{
    if (ZmPpApiInstance* instance = ZmPpApiInstance::current()) {
        instance->LogToConsole(level == ShareLogLevel::Error ? PP_LOGLEVEL_ERROR : PP_LOGLEVEL_WARNING,
                               pp::Var(message));
        return;
    }
    std::fprintf(stderr, "ZmVideoPlugin: %s\n", message.c_str());
}

} // namespace

VarArrayBufferModule::~VarArrayBufferModule()
{
    setShareLogHandler(nullptr);
    freeScaleContexts();
}

bool VarArrayBufferModule::Init()
{
    if (!pp::Module::Init())
        return false;
    setShareLogHandler(&logToCurrentConsole);
    // The scaler's notes (such as unaligned source rows, which shared sections always have) are not errors.
    av_log_set_level(AV_LOG_ERROR);
    return true;
}

pp::Instance* VarArrayBufferModule::CreateInstance(PP_Instance instance)
{
    return new ZmPpApiInstance(instance);
}

namespace pp {

Module* CreateModule()
{
    return new VarArrayBufferModule();
}

} // namespace pp
