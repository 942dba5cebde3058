#pragma once

#include <QString>

#include <map>
#include <string>

class AgoraAudioDevice;
class AgoraVideoDevice;
class Whiteboard;

// The selected devices of a class room: what an unplug does to them, their re-selection after the devices were
// checked again, and the changes the settings dialog hands back. The stored ids are the user settings
// "SelectedDeviceID/Camera", "SelectedDeviceID/AudioIN" and "SelectedDeviceID/AudioOUT". GUI thread.
namespace RoomDevices {

extern const char kCameraKey[];
extern const char kMicrophoneKey[];
extern const char kSpeakerKey[];

// An audio device state change of the RTC engine that takes the selected microphone (tested first) or speaker
// away: state 8 (unplugged) or 4 (not present) for the stored id. The stored id is cleared and true returned.
bool takeUnpluggedAudioDevice(const std::string& deviceId, int deviceState);
// The same for the selected camera, which only state 8 takes away.
bool takeUnpluggedCamera(const std::string& deviceId, int deviceState);

// An audio device state change the RTC engine reports to a room showing page: logged, the page's playing
// courseware video (which the change may have stopped) resumed 500 ms later, and true when the change took the
// selected microphone or speaker away (takeUnpluggedAudioDevice): the room then checks its devices again.
bool audioDeviceStateChanged(Whiteboard* page, const std::string& deviceId, int deviceType, int deviceState);
// The same for a video device and the selected camera (takeUnpluggedCamera).
bool videoDeviceStateChanged(Whiteboard* page, const std::string& deviceId, int deviceState);

// After the devices were checked again: each kind (camera when video is given, then microphone and speaker when
// audio is given) selects its stored device again, or the first listed one when the stored one is not listed;
// nothing for a kind without devices.
void reselectDevices(AgoraAudioDevice* audio, AgoraVideoDevice* video);

// Applies the settings dialog's changed devices (settings key -> new id) to the managers given; other keys are
// ignored.
void applyChangedDevices(const std::map<std::string, std::string>& changed, AgoraAudioDevice* audio,
                         AgoraVideoDevice* video);

// "camera", "microphone", "speaker" for the NotRecommendDeviceType bits 1, 2, 4 of types, in that order, joined by
// ",", each translated in the context given (the room's class name).
QString notRecommendedNames(int types, const char* context);

} // namespace RoomDevices
