#pragma once

#include "live/rtc/CAGEngineEventHandler.h"

#include <QObject>
#include <QString>
#include <qwindowdefs.h>

namespace agora {
namespace rtc {
class IRtcEngine;
}
} // namespace agora

// The device check's own RTC engine, one per process, wrapped with its event handler: the worker of the device
// check makes it, tests camera, microphone and speaker on it without joining a channel, and destroys it. Used from
// one thread at a time.
class CAgoraObject : public QObject
{
    Q_OBJECT

public:
    // The wrapper, made (with its handler) when absent, and the engine, made when absent. A non-empty id
    // initialises the engine with it (Latin-1) and the handler, whatever the result; an empty id only returns it.
    static CAgoraObject* getOrCreate(const QString& appId);
    // The wrapper, or null before getOrCreate and after destroy.
    static CAgoraObject* instance();
    // The engine, made (not initialised) when absent.
    static agora::rtc::IRtcEngine* engine();
    // Releases the engine (waiting for it) and deletes the wrapper.
    static void destroy();

    // Enables or disables video; the flag is kept on success.
    bool setVideoEnabled(bool on);
    // on: mirror mode, the local canvas {view, render mode 1, uid 0} and the preview; off: stops the preview.
    // True when the last engine call returned 0.
    bool setLocalPreview(WId view, bool on, bool mirror);
    // The engine's log file (UTF-8 path) with the full log filter; true when the file was accepted.
    bool setLogFile(const QString& path);

    bool isVideoEnabled() const { return m_videoEnabled; }

    // The wrapper's handler (its child), whose signals the device check connects to.
    CAGEngineEventHandler* m_pEventHandler = nullptr;

private:
    CAgoraObject();
    ~CAgoraObject() override;

    bool m_videoEnabled = false;
};
