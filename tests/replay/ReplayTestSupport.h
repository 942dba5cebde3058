#pragma once

#include <QString>

namespace ZmTest {

// Makes a short test video (moving colour bars 320 x 240 at 25 frames a second with a tone) with the ffmpeg
// command; true when the file was written. Its length is exactly the given number of seconds.
bool makeTestVideo(const QString& path, int seconds, QString* error = nullptr);

// Sets libvlc up for tests: a silent audio output, and one instance kept until the process ends. The kept
// instance keeps libvlc's plug-ins loaded, so that the leak checker still sees what their globals hold instead of
// reporting it as lost when they are unloaded.
void prepareVlc();

} // namespace ZmTest
