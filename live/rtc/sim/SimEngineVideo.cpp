#include "live/rtc/sim/SimEngineCore.h"

#include "live/rtc/sim/SimMediaSource.h"
#include "live/rtc/sim/SimTestPattern.h"
#include "live/rtc/sim/SimWindowPainter.h"

#include <vector>

using namespace agora::rtc;

bool SimEngineCore::shouldCapture() const
{
    return m_initialized && !m_shutDown && m_videoEnabled && m_localCapture &&
           (m_preview || m_channelState != ChannelState::Idle) && !m_devices.current(SimDeviceKind::Camera).empty();
}

void SimEngineCore::noteCaptureStart(bool capturedBefore)
{
    if (!capturedBefore && shouldCapture())
        m_captureStarted = true;
}

void SimEngineCore::videoTick()
{
    struct RemotePlan
    {
        uid_t uid;
        int width;
        int height;
        VideoCanvas canvas;
    };
    bool capture = false;
    std::string camera;
    VideoCanvas localCanvas;
    bool paintLocal = false;
    bool mirror = true;
    uid_t ownUid = 0;
    std::vector<RemotePlan> remotes;
    long long timeMs = 0;
    int elapsed = 0;
    bool captureStarted = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        capture = shouldCapture();
        std::swap(captureStarted, m_captureStarted);
        camera = m_devices.current(SimDeviceKind::Camera);
        localCanvas = m_localCanvas;
        paintLocal = m_localRender && localCanvas.view != 0;
        mirror = m_mirrorMode != 2;
        ownUid = m_uid;
        timeMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_initTime).count();
        elapsed = m_channelState == ChannelState::Idle ? int(timeMs) : elapsedSinceJoin();
        if (m_videoEnabled && m_channelState == ChannelState::InChannel) {
            for (const auto& user : m_remoteUsers) {
                if (!user.second.video)
                    continue;
                const auto canvas = m_remoteCanvases.find(user.first);
                remotes.push_back(RemotePlan{user.first,
                                             user.second.width > 0 ? user.second.width : m_scenario.remoteWidth,
                                             user.second.height > 0 ? user.second.height : m_scenario.remoteHeight,
                                             canvas == m_remoteCanvases.end() ? VideoCanvas() : canvas->second});
            }
        }
    }
    ++m_frameNumber;

    // The real camera runs while the engine captures, on the device that is current.
    SimMediaSource* real = m_devices.realDevices();
    if (capture != m_capturing || (capture && camera != m_captureCamera)) {
        if (real && m_capturing)
            real->setCameraActive(m_captureCamera, false);
        if (real && capture)
            real->setCameraActive(camera, true);
        if (!capture || camera != m_captureCamera)
            m_firstLocalSent = false;
        m_captureCamera = capture ? camera : std::string();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_capturing = capture;
    }

    // A capture started again between two ticks (a leave and a join, video off and on) is seen here even though
    // the tick found it running both times.
    if (captureStarted)
        m_firstLocalSent = false;

    if ((paintLocal || !remotes.empty()) && !m_painter)
        m_painter = std::make_unique<SimWindowPainter>();

    if (capture) {
        bool haveFrame = false;
        if (real) {
            haveFrame = real->latestCameraFrame(m_captureFrame);
        } else {
            m_captureFrame.allocate(m_scenario.captureWidth, m_scenario.captureHeight, m_scenario.strideAlign,
                                    m_scenario.stridePadding);
            drawTestPattern(m_captureFrame, m_frameNumber, ownUid);
            haveFrame = true;
        }
        if (haveFrame) {
            agora::media::IVideoFrameObserver::VideoFrame frame = m_captureFrame.view(timeMs);
            m_media.deliverCapture(frame);
            if (!m_firstLocalSent) {
                m_firstLocalSent = true;
                const int width = m_captureFrame.width;
                const int height = m_captureFrame.height;
                callback(0, "onFirstLocalVideoFrame", QJsonObject{{"width", width}, {"height", height}},
                         [width, height, elapsed](IRtcEngineEventHandler* target) {
                             target->onFirstLocalVideoFrame(width, height, elapsed);
                         });
            }
            if (paintLocal)
                m_painter->paint(localCanvas.view, m_captureFrame, localCanvas.renderMode, mirror);
        }
    }

    // Streams of users who left are dropped, so a user who comes back sends a first frame again.
    for (auto stream = m_remoteStreams.begin(); stream != m_remoteStreams.end();) {
        const bool present = std::any_of(remotes.begin(), remotes.end(),
                                         [&stream](const RemotePlan& plan) { return plan.uid == stream->first; });
        stream = present ? std::next(stream) : m_remoteStreams.erase(stream);
    }
    for (const RemotePlan& plan : remotes) {
        RemoteStream& stream = m_remoteStreams[plan.uid];
        stream.frame.allocate(plan.width, plan.height, m_scenario.strideAlign, m_scenario.stridePadding);
        drawTestPattern(stream.frame, m_frameNumber, plan.uid);
        agora::media::IVideoFrameObserver::VideoFrame frame = stream.frame.view(timeMs);
        m_media.deliverRender(plan.uid, frame);
        if (!stream.firstSent) {
            stream.firstSent = true;
            const uid_t uid = plan.uid;
            const int width = plan.width;
            const int height = plan.height;
            callback(0, "onFirstRemoteVideoDecoded",
                     QJsonObject{{"uid", double(uid)}, {"width", width}, {"height", height}},
                     [uid, width, height, elapsed](IRtcEngineEventHandler* target) {
                         target->onFirstRemoteVideoDecoded(uid, width, height, elapsed);
                     });
            callback(0, "onVideoSizeChanged", QJsonObject{{"uid", double(uid)}, {"width", width}, {"height", height}},
                     [uid, width, height](IRtcEngineEventHandler* target) {
                         target->onVideoSizeChanged(uid, width, height, 0);
                     });
        }
        if (plan.canvas.view != 0)
            m_painter->paint(plan.canvas.view, stream.frame, plan.canvas.renderMode, false);
    }
}
