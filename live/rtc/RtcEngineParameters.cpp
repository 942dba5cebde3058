#include "live/rtc/RtcEngineParameters.h"

#include "live/rtc/engine/IRtcEngine.h"
#include "live/rtc/engine/IRtcEngineParameter.h"

#include <cstdarg>
#include <cstdio>

using namespace agora::rtc;

RtcEngineParameters::RtcEngineParameters(IRtcEngine* engine)
{
    void* parameter = nullptr;
    if (engine && engine->queryInterface(AGORA_IID_RTC_ENGINE_PARAMETER, &parameter) == 0)
        m_parameter = static_cast<IRtcEngineParameter*>(parameter);
}

RtcEngineParameters::~RtcEngineParameters()
{
    if (m_parameter)
        m_parameter->release();
}

int RtcEngineParameters::setBool(const char* key, bool value)
{
    return m_parameter ? m_parameter->setBool(key, value) : kNoInterface;
}

int RtcEngineParameters::setInt(const char* key, int value)
{
    return m_parameter ? m_parameter->setInt(key, value) : kNoInterface;
}

int RtcEngineParameters::setString(const char* key, const char* value)
{
    return m_parameter ? m_parameter->setString(key, value) : kNoInterface;
}

int RtcEngineParameters::setObject(const char* key, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const int result = sendFormatted(key, format, arguments);
    va_end(arguments);
    return result;
}

int RtcEngineParameters::setParameters(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const int result = sendFormatted(nullptr, format, arguments);
    va_end(arguments);
    return result;
}

int RtcEngineParameters::sendFormatted(const char* key, const char* format, va_list arguments)
{
    if (!m_parameter)
        return kNoInterface;
    char value[kValueBufferSize];
    std::vsnprintf(value, sizeof value, format, arguments);
    return key ? m_parameter->setObject(key, value) : m_parameter->setParameters(value);
}

QByteArray RtcEngineParameters::jsonEscaped(const char* text)
{
    QByteArray escaped;
    for (const char* at = text ? text : ""; *at; ++at) {
        const auto c = static_cast<unsigned char>(*at);
        switch (c) {
        case '"':
            escaped += "\\\"";
            break;
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\t':
            escaped += "\\t";
            break;
        default:
            if (c < 0x20) {
                char unicode[8];
                std::snprintf(unicode, sizeof unicode, "\\u%04x", c);
                escaped += unicode;
            } else {
                escaped += char(c);
            }
        }
    }
    return escaped;
}
