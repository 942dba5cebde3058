#pragma once

#include "live/rtc/RtcMetaTypes.h"

#include <QList>
#include <QString>

// What the statistics checks need to know of the room besides the report.
struct RtcStatsContext
{
    bool localIsTeacher = false;
    bool localIsPupil = false;
    // The channel's online users (the local user included).
    int onlineUsers = 0;
    // The whiteboard page plays a courseware video.
    bool pageVideoPlaying = false;
    bool teacherAudioMuted = false;
    // The local user publishes audio and is not muted.
    bool localAudioLive = false;
};

// One problem to report to the class service.
struct DeviceProblem
{
    int problemType = 0;
    int errorCode = 0;
    QString remark;
    QString description;

    bool operator==(const DeviceProblem& other) const
    {
        return problemType == other.problemType && errorCode == other.errorCode && remark == other.remark &&
               description == other.description;
    }
};

// The normal class room's watch over the RTC engine's statistics reports: an engine CPU reading of 90 % or more and
// media bit rates of 0 (or 65535 and more) ten reports in a row are each reported once per room. A guest's room
// checks nothing (the room does not call it).
class NormalRoomStatsCheck
{
public:
    static constexpr int kMissesToReport = 10;

    // The counting rule: while counter is below 10, a value outside [low, high) adds 1 and the result is whether
    // it became 10; a value inside resets it to 0. At 10 the counter stays and nothing more is reported.
    static bool checkRangeMiss(int value, int low, int high, int& counter);

    // Checks one report (missing keys read 0); the problems due now. The media checks need two users online.
    QList<DeviceProblem> check(const QMapStrVar& stats, const RtcStatsContext& context);

private:
    int m_rxAudioMisses = 0;
    int m_txAudioMisses = 0;
    int m_rxVideoMisses = 0;
    int m_txVideoMisses = 0;
    int m_cpuMisses = 0;
};
