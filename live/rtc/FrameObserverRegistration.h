#pragma once

namespace agora {
namespace rtc {
class IRtcEngine;
}
namespace media {
class IVideoFrameObserver;
}
} // namespace agora

// What registerFrameObserver gives when there is no engine or it offers no media interface.
inline constexpr int kNoMediaInterface = -7;

// Hands observer (null: none) to the engine's media interface and gives the interface back: the interface's
// result, or kNoMediaInterface.
int registerFrameObserver(agora::rtc::IRtcEngine* engine, agora::media::IVideoFrameObserver* observer);
