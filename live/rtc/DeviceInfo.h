#pragma once

#include <QMetaType>
#include <QString>

#include <vector>

// One audio or video device: its position in the engine's list, its name (shown, and checked against the
// not-recommended lists) and its id (compared exactly, stored under "SelectedDeviceID/...").
struct device_info
{
    int index = 0;
    QString name;
    QString id;
};

using vector_device_info = std::vector<device_info>;

Q_DECLARE_METATYPE(vector_device_info)

// The user settings under which the chosen camera, microphone and speaker are stored.
inline constexpr char kSelectedCameraKey[] = "SelectedDeviceID/Camera";
inline constexpr char kSelectedMicrophoneKey[] = "SelectedDeviceID/AudioIN";
inline constexpr char kSelectedSpeakerKey[] = "SelectedDeviceID/AudioOUT";

// The text of a device buffer of the engine: UTF-8 up to its terminator, read at most 512 bytes far.
QString deviceText(const char* buffer);
