#pragma once

#include <QString>

// Why the program was started.
enum AppType : int
{
    AppType_None = 0,
    AppType_JoinClass = 1, // "--apptype=joinclass"
    AppType_Playback = 2,  // "--apptype=playback"
};

// Who runs the program and for what: filled from the command line, opened links and the home page.
struct LaunchInfo
{
    int appType = AppType_None;
    int startAppType = AppType_None;
    int paramA = 0; // sent as the header line "a" of RESTful calls and problem reports
    QString latestVersionName;
    QString language = QStringLiteral("en"); // "en" or "cn"
    int uiType = 0;                          // 1 normal, 2 small, 3 public class; 0 unset
    int teachType = 0;
    int classType = 0;
    QString userId;      // empty when nobody is signed in
    QString token;       // the exchanged token
    int accountType = 0; // 1 pupil, 2 teacher, 3 auditor; 0 unset
    QString media1;
    QString media1start;
    QString media1dur;
    QString media2;
    QString media2start;
    QString media2dur;
    QString webMode = QStringLiteral("production");
    int shareScreen720pBitrate = 1200;
    int stopMicTeacherLeft = 900; // seconds
};

// The lesson: ids and name from the command line, the rest from the class service's lesson reply.
struct LessonInfo
{
    QString lessonId;
    QString periodId;
    QString lessonName;
    QString channel; // RTC channel name
    QString channelKey;
    QString content;
    bool muteAudio = true;
};
