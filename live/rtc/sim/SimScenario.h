#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <string>
#include <vector>

// The kinds of devices the simulated engine offers.
enum class SimDeviceKind
{
    Camera = 0,
    Microphone = 1,
    Speaker = 2,
};

// One simulated device. level (microphones) is the fixed input level 0-255, or -1 for a varying voice.
struct SimDeviceSpec
{
    std::string name; // UTF-8
    std::string id;   // UTF-8
    bool refuse = false;
    int level = -1;
};

// One thing that happens in a simulated engine, at atMs milliseconds after the local user's join succeeded
// (fromJoin) or after the engine was initialised.
struct SimEvent
{
    enum Type
    {
        UserJoined,            // uid, video, volume, width, height
        UserOffline,           // uid, reason
        ConnectionInterrupted, // remote users stay; quality reports stop until Rejoin
        ConnectionLost,
        Rejoin,
        Error,             // code, message (hasMessage false: a null message)
        Warning,           // code, message
        NetworkQuality,    // uid, tx, rx
        LastmileQuality,   // quality
        DeviceState,       // kind, deviceId, state: the state callback only
        Plug,              // kind, deviceName, deviceId: the device appears (state 1)
        Unplug,            // kind, deviceId: the device goes away (state 8)
        StreamMessage,     // uid, streamId, data
        AudioDeviceVolume, // deviceType, volume, muted
        UserVolume,        // uid, volume: a remote speaker's level from now on
    };

    Type type = UserJoined;
    int atMs = 0;
    bool fromJoin = true;

    unsigned int uid = 0;
    bool video = true;
    int volume = -1;
    int width = 0; // 0: the scenario's remote frame size
    int height = 0;
    int reason = 0;
    int code = 0;
    bool hasMessage = true;
    std::string message;
    int tx = 1;
    int rx = 1;
    int quality = 1;
    SimDeviceKind kind = SimDeviceKind::Camera;
    std::string deviceId;
    std::string deviceName;
    int state = 1;
    int streamId = 0;
    std::string data;
    int deviceType = 1;
    bool muted = false;
};

// Everything a simulated engine does of its own accord, and how it answers: read from a JSON scenario file
// (format in README.md beside this file) or filled in by tests. A default scenario offers one camera, one
// microphone and one speaker, and lets the join succeed at once.
struct SimScenario
{
    enum class DeviceSource
    {
        Unset,     // simulated, unless the program asks for real devices
        Simulated, // always simulated
        Real,      // the machine's devices through Qt Multimedia
    };

    // Results by call ("joinChannel") or by call and key ("setBool:che.video.monitorClient"), one per call in
    // turn, the last one repeating. A negative result refuses the call (it does nothing).
    std::map<std::string, std::vector<int>> results;

    bool parameterInterface = true;
    bool mediaEngine = true;
    bool audioDeviceManager = true;
    bool videoDeviceManager = true;

    int joinSuccessDelayMs = 0;
    bool joinSucceeds = true;
    int releaseDelayMs = 0;

    QString tracePath; // JSON-lines trace of every call; empty: none

    int fps = 15;
    int captureWidth = 640;
    int captureHeight = 480;
    int remoteWidth = 640;
    int remoteHeight = 480;
    int strideAlign = 16;
    int stridePadding = 0;

    int statsIntervalMs = 2000;
    std::map<std::string, int> fixedStats; // RtcStats fields that keep these values
    int qualityIntervalMs = 2000;
    int txQuality = 1;
    int rxQuality = 1;

    DeviceSource deviceSource = DeviceSource::Unset;
    std::vector<SimDeviceSpec> cameras;
    std::vector<SimDeviceSpec> microphones;
    std::vector<SimDeviceSpec> speakers;
    int recordingVolume = 200; // 0-255
    int playbackVolume = 200;

    std::vector<SimEvent> events;

    // One camera, one microphone and one speaker; everything else as above.
    static SimScenario defaults();

    // Reads a scenario: false with a message naming the offending member when the text is no JSON object or a
    // member has the wrong type. Numbers out of range are clamped; unknown members are ignored.
    static bool fromJson(const QByteArray& json, SimScenario& out, QString* error);

    // fromJson of a file's contents.
    static bool fromFile(const QString& path, SimScenario& out, QString* error);
};
