#pragma once

#include "live/rtc/sim/I420Frame.h"
#include "live/rtc/sim/SimScenario.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>

class QAudioInput;
class QAudioOutput;
class QBuffer;
class QCamera;
class QIODevice;
class CameraFrameSink;

// The Qt Multimedia objects behind SimRealDevices. Lives on the devices' thread; every slot-like call runs there,
// except latestCameraFrame and microphoneLevel, which any thread may call.
class RealDeviceWorker : public QObject
{
public:
    // The camera's newest picture, shared with the threads that read it.
    struct FrameStore
    {
        std::mutex mutex;
        I420Frame latest;
    };

    RealDeviceWorker();
    ~RealDeviceWorker() override;

    static std::vector<SimDeviceSpec> list(SimDeviceKind kind);

    void startCamera(const QString& id);
    void stopCamera();
    bool latestCameraFrame(I420Frame& out);

    void startMicrophone(const QString& id);
    void stopMicrophone();
    int microphoneLevel() const { return m_level.load(); }

    bool startPlayback(const QString& speakerId, const QString& path);
    void stopPlayback();

private:
    void readMicrophone();

    FrameStore m_frames;
    std::unique_ptr<QCamera> m_camera;
    std::unique_ptr<CameraFrameSink> m_sink;
    std::unique_ptr<QAudioInput> m_input;
    QIODevice* m_inputDevice = nullptr;
    std::atomic<int> m_level{0};
    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QBuffer> m_sound;
    QByteArray m_soundData;
};
