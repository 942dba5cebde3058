#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <cstdarg>

namespace agora {
namespace rtc {
class IRtcEngine;
class IRtcEngineParameter;
} // namespace rtc
} // namespace agora

// Holds an engine's parameter interface for one or a few set calls and gives it back when it goes out of scope.
// Every setter returns the interface's result (0 on success, the engine's refusal otherwise) or kNoInterface when
// the engine offers no parameter interface (or there is no engine); then nothing is sent. Object and parameters
// values are formatted into 512 bytes: a longer text is cut at 511.
class RtcEngineParameters
{
public:
    static constexpr int kNoInterface = -7;
    static constexpr int kValueBufferSize = 512;

    explicit RtcEngineParameters(agora::rtc::IRtcEngine* engine);
    ~RtcEngineParameters();

    RtcEngineParameters(const RtcEngineParameters&) = delete;
    RtcEngineParameters& operator=(const RtcEngineParameters&) = delete;

    bool isValid() const { return m_parameter != nullptr; }

    int setBool(const char* key, bool value);
    int setInt(const char* key, int value);
    int setString(const char* key, const char* value);
    // key = one JSON value formatted from format.
    int setObject(const char* key, const char* format, ...) Q_ATTRIBUTE_FORMAT_PRINTF(3, 4);
    // One JSON object with one or more keys, formatted from format.
    int setParameters(const char* format, ...) Q_ATTRIBUTE_FORMAT_PRINTF(2, 3);

    // "true" or "false", as booleans are written inside JSON.
    static const char* jsonBool(bool value) { return value ? "true" : "false"; }

    // text with JSON's string escapes applied (quote, backslash, control characters), for a value placed between
    // quotes in a format.
    static QByteArray jsonEscaped(const char* text);

private:
    // The formatted value as an object for key, or as parameters when key is null.
    int sendFormatted(const char* key, const char* format, va_list arguments);

    agora::rtc::IRtcEngineParameter* m_parameter = nullptr;
};
