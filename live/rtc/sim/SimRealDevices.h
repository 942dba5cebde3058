#pragma once

#include "live/rtc/sim/SimMediaSource.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class QThread;
class RealDeviceWorker;

// The machine's camera, microphones and speakers through Qt Multimedia, for simulated engines asked to use real
// devices. Qt's camera and audio objects live on a thread of their own with an event loop; the engine's threads
// reach them through queued calls. The camera's pictures are kept as I420, the microphone's level as 0-255.
class SimRealDevices final : public SimMediaSource
{
public:
    // The process-wide object; null (logged) when there is no application object to run its thread.
    static std::shared_ptr<SimMediaSource> shared();

    SimRealDevices();
    ~SimRealDevices() override;

    std::vector<SimDeviceSpec> devices(SimDeviceKind kind) override;
    void setCameraActive(const std::string& id, bool on) override;
    bool latestCameraFrame(I420Frame& out) override;
    void setMicrophoneActive(const std::string& id, bool on) override;
    int microphoneLevel() override;
    bool setPlaybackTest(const std::string& speakerId, const QString& path, bool on) override;

    // Ends the devices' thread (with the application object); the devices do nothing afterwards.
    void stop();

private:
    // Runs fn on the devices' thread; with wait, returns after it ran (or after a few seconds, logged).
    void run(std::function<void()> fn, bool wait);

    QThread* m_thread = nullptr;
    RealDeviceWorker* m_worker = nullptr;
    std::mutex m_countMutex;
    int m_cameraUsers = 0;
    int m_microphoneUsers = 0;
};
