#pragma once

#include <QString>

namespace ZmTest {

// Makes a short test video (moving colour bars 320 x 240 at 25 frames a second with a tone) with the ffmpeg
// command; true when the file was written. Its length is exactly the given number of seconds.
bool makeTestVideo(const QString& path, int seconds, QString* error = nullptr);

} // namespace ZmTest
