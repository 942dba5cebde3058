#pragma once

#include "live/rtc/sim/I420Frame.h"
#include "live/rtc/sim/SimScenario.h"

#include <QString>

#include <string>
#include <vector>

// Real devices behind a simulated engine: what the engine asks of the machine's camera, microphones and speakers.
// Every call may come from any engine thread. Users of the camera and the microphone are counted: each "on" needs
// its "off".
class SimMediaSource
{
public:
    virtual ~SimMediaSource() = default;

    virtual std::vector<SimDeviceSpec> devices(SimDeviceKind kind) = 0;

    virtual void setCameraActive(const std::string& id, bool on) = 0;
    // The newest camera picture; false while there is none.
    virtual bool latestCameraFrame(I420Frame& out) = 0;

    virtual void setMicrophoneActive(const std::string& id, bool on) = 0;
    // The active microphone's level, 0-255.
    virtual int microphoneLevel() = 0;

    // Plays (repeatedly) or stops the file on the speaker; false when it cannot be played.
    virtual bool setPlaybackTest(const std::string& speakerId, const QString& path, bool on) = 0;
};
