#pragma once

#include "live/rtc/engine/IMediaEngine.h"
#include "live/rtc/sim/SimScenario.h"

#include "WaitUntil.h"

#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QVariantList>

#include <atomic>
#include <string>

namespace agora {
namespace rtc {
class IRtcEngine;
}
} // namespace agora
class SimRtcEngine;

namespace RtcTest {

// A video frame observer that counts the frames it is given (captured and rendered alike), from any thread.
class CountingObserver : public agora::media::IVideoFrameObserver
{
public:
    bool onCaptureVideoFrame(VideoFrame&) override
    {
        ++frames;
        return true;
    }
    bool onRenderVideoFrame(unsigned int, VideoFrame&) override
    {
        ++frames;
        return true;
    }
    std::atomic<int> frames{0};
};

// A scenario that traces into a file of its own; use() makes it the scenario of the engines made afterwards.
class TracedScenario
{
public:
    TracedScenario();

    SimScenario scenario = SimScenario::defaults();

    void use();
    QString tracePath() const { return m_dir.filePath(QStringLiteral("trace.jsonl")); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    // Every line of the trace so far.
    QList<QJsonObject> trace() const;
    // The call lines, all or of one call.
    QList<QJsonObject> calls(const QString& call = QString()) const;
    QStringList callNames() const;
    // The callback lines of one callback.
    QList<QJsonObject> callbacks(const QString& name) const;
    // The parameter calls as texts: "setBool <key> true", "setInt <key> 9", "setString <key> <value>",
    // "setObject <key> <json>", "setParameters <json>".
    QStringList parameterTexts() const;

private:
    QTemporaryDir m_dir;
};

// The argument key of a trace line.
QJsonValue argOf(const QJsonObject& line, const char* key);

// The simulated engine behind an engine pointer; fails the test when there is none.
SimRtcEngine* simEngine(agora::rtc::IRtcEngine* engine);

// A user setting as the settings file on disk holds it ("Group/Key"); null when absent.
QVariant storedSetting(const QString& key);

// A device for the simulated engine's lists.
SimDeviceSpec device(const std::string& name, const std::string& id, bool refuse = false, int level = -1);

// The device id the user settings hold under a "SelectedDeviceID/..." key; empty when none is stored.
QString storedDeviceId(const char* key);

// Signals recorded as they reach the GUI thread (connections made with this object as context, so they are queued
// from engine threads), with the thread each was emitted on.
class SignalLog : public QObject
{
public:
    struct Entry
    {
        QString name;
        QVariantList args;
    };

    // A recorder for a signal: connect(sender, &Sender::signal, log.recorder<Args...>("name")) is queued onto
    // this object's thread.
    template <typename... Args> auto recorder(const QString& name)
    {
        return [this, name](Args... args) {
            m_entries.append(Entry{name, QVariantList{QVariant::fromValue(args)...}});
        };
    }

    QList<Entry> entries(const QString& name) const;
    int count(const QString& name) const { return entries(name).size(); }
    // Waits (events processed) until count(name) >= n; false after timeoutMs.
    bool waitFor(const QString& name, int n = 1, int timeoutMs = ZmTest::kWaitMs) const;
    void clear() { m_entries.clear(); }

private:
    QList<Entry> m_entries;
};

} // namespace RtcTest
