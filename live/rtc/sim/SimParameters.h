#pragma once

#include "live/rtc/engine/IRtcEngineParameter.h"

#include <memory>

class SimEngineCore;

// The parameter interface of a simulated engine: every call goes to the engine, which traces it, acts on the keys
// it knows and refuses a JSON text that does not parse. One is made per query and deletes itself on release().
class SimParameters final : public agora::rtc::IRtcEngineParameter
{
public:
    explicit SimParameters(std::shared_ptr<SimEngineCore> core);

    void release() override;
    int setBool(const char* key, bool value) override;
    int setInt(const char* key, int value) override;
    int setString(const char* key, const char* value) override;
    int setObject(const char* key, const char* value) override;
    int setParameters(const char* parameters) override;

private:
    ~SimParameters() override = default;

    std::shared_ptr<SimEngineCore> m_core;
};
