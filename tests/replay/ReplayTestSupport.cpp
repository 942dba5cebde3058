#include "ReplayTestSupport.h"

#include "replay/vlc/VlcCommon.h"
#include "replay/vlc/VlcInstance.h"

#include <QFileInfo>
#include <QProcess>
#include <QStringList>

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
    const bool ended = ffmpeg.waitForStarted(10000) && ffmpeg.waitForFinished(60000);
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
