#pragma once

#include <QList>
#include <QRgb>
#include <QSet>
#include <QString>

class QSignalSpy;
class QWidget;

namespace ZmTest {

// Makes a short test video (moving colour bars 320 x 240 at 25 frames a second with a tone) with the ffmpeg
// command; true when the file was written. Its length is exactly the given number of seconds.
bool makeTestVideo(const QString& path, int seconds, QString* error = nullptr);

// Sets libvlc up for tests: a silent audio output, and one instance kept until the process ends. The kept
// instance keeps libvlc's plug-ins loaded, so that the leak checker still sees what their globals hold instead of
// reporting it as lost when they are unloaded.
void prepareVlc();

// The states a spy on ReplayCtrl::stateChanged recorded, in order.
QList<int> statesOf(const QSignalSpy& spy);

// The colours the screen shows in the widget's area (sampled every 4 pixels, 4 bits a channel), and its colour
// near the top left corner: what is really on screen, native windows of libraries included. Raises the widget's
// window first.
QSet<QRgb> coloursOnScreen(QWidget& widget, QRgb* corner = nullptr);

} // namespace ZmTest
