#include "ReplayTestSupport.h"

#include "replay/controllers/ReplayCtrl.h"
#include "replay/vlc/VlcCommon.h"
#include "replay/vlc/VlcInstance.h"

#include "WaitUntil.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QStringList>
#include <QWidget>

bool ZmTest::makeTestVideo(const QString& path, int seconds, QString* error)
{
    const QString length = QString::number(seconds);
    const QStringList arguments{
        "-nostdin",  "-v",        "error",      "-y",
        "-f",        "lavfi",     "-i",         "testsrc=duration=" + length + ":size=320x240:rate=25",
        "-f",        "lavfi",     "-i",         "sine=frequency=440:duration=" + length,
        "-c:v",      "mpeg4",     "-q:v",       "5",
        "-g",        "25",        "-c:a",       "aac",
        "-shortest", "-movflags", "+faststart", path};
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::MergedChannels);
    ffmpeg.start(QStringLiteral("ffmpeg"), arguments);
    const bool ended = ffmpeg.waitForStarted(ZmTest::kStartWaitMs) && ffmpeg.waitForFinished(2 * ZmTest::kStartWaitMs);
    if (!ended)
        ffmpeg.kill();
    const bool ok =
        ended && ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0 && QFileInfo(path).size() > 0;
    if (!ok && error)
        *error = QStringLiteral("ffmpeg failed (%1): %2")
                     .arg(ffmpeg.errorString(), QString::fromLocal8Bit(ffmpeg.readAll()));
    return ok;
}

void ZmTest::prepareVlc()
{
    VlcCommon::setArgsForTesting({QStringLiteral("--aout=adummy")});
    static VlcInstance* const keeper = new VlcInstance(VlcCommon::args());
    Q_UNUSED(keeper);
}

QList<int> ZmTest::statesOf(const QSignalSpy& spy)
{
    QList<int> states;
    for (const QList<QVariant>& arguments : spy)
        states.append(arguments.at(1).value<ReplayerState>());
    return states;
}

QSet<QRgb> ZmTest::coloursOnScreen(QWidget& widget, QRgb* corner)
{
    // Other tests share the display: the window goes above theirs first.
    widget.window()->raise();
    QCoreApplication::processEvents();
    const QPoint origin = widget.mapToGlobal(QPoint(0, 0));
    const QImage shot = QGuiApplication::primaryScreen()
                            ->grabWindow(0, origin.x(), origin.y(), widget.width(), widget.height())
                            .toImage();
    if (corner)
        *corner = shot.pixel(6, 6);
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 4)
        for (int x = 0; x < shot.width(); x += 4)
            colours.insert(shot.pixel(x, y) & 0xF0F0F0);
    return colours;
}
