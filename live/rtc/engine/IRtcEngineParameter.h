#pragma once

namespace agora {
namespace rtc {

// The engine's settings by key and JSON text (IRtcEngine::queryInterface with AGORA_IID_RTC_ENGINE_PARAMETER).
// Every call returns 0 on success and a negative ERROR_CODE_TYPE when the engine refuses the key or the value
// (a JSON text that does not parse is refused).
class IRtcEngineParameter
{
public:
    // Gives the interface back; the pointer is not used afterwards.
    virtual void release() = 0;

    virtual int setBool(const char* key, bool value) = 0;
    virtual int setInt(const char* key, int value) = 0;
    virtual int setString(const char* key, const char* value) = 0;
    // value is one JSON value (an object, mostly).
    virtual int setObject(const char* key, const char* value) = 0;
    // parameters is a JSON object holding one or more keys.
    virtual int setParameters(const char* parameters) = 0;

protected:
    virtual ~IRtcEngineParameter() = default;
};

} // namespace rtc
} // namespace agora
