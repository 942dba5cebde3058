#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The device check's verdicts on what it measured: the words and colours its program/network page shows, the pass
// rule, the lines of the check report and the note on the program's version. Texts are translated in the context
// "CheckSystemDlg".
namespace SystemCheck {

// A label's text and style sheet.
struct Verdict
{
    QString text;
    QString styleSheet;
};

// The network grade of the ended pings (AsyncPing grades): any 0 gives 0, else any 2 gives 2, else any 3 gives 3,
// else 1.
int overallPingGrade(const QList<int>& grades);

// "Connection failed", "Fluency", "Congestion" or "Busy" for an overall grade.
Verdict networkVerdict(int overallGrade);
// Fluent and busy networks pass; no reply and congestion fail.
bool networkPasses(int overallGrade);

// "Connection failed" for a failed download, else by speed (bytes per ms): "Poor" below 100, "Good" below 250,
// "Great" from 250 on.
Verdict downloadVerdict(bool failed, float speed);
// A failed or poor download fails the check.
bool downloadPasses(bool failed, float speed);

// "Low" below 30 %, "High" from 60 %, else "Medium". The processor's load never fails the check.
Verdict cpuVerdict(int usagePercent);

// "Detecting...", shown while measuring.
Verdict detectingVerdict();

// What the check report says, one line an item.
struct ReportInput
{
    bool cameraOk = false;
    bool microphoneOk = false;
    bool speakerOk = false;
    QStringList pingLines; // AsyncPing::resultText of the ended pings, in the order they ended
    QString downloadLine;  // AsyncDownload::resultText; empty when there was none
    int cpuUsage = 0;
};
// "Camera = OK|Failed", "Micphone = ...", "Speaker = ...", the ping lines, the download line, "CpuUsage = <n>".
QStringList reportLines(const ReportInput& input);

// The numbers of a dotted version text, up to the first part that is not a decimal number.
QList<int> versionNumbers(const QString& text);

enum class VersionNote
{
    None,     // nothing to compare
    Latest,   // the own version is as new as the published one or newer
    Outdated, // a newer version is published
};
// Compares the published version with the own one, number by number over the shorter of the two.
VersionNote compareVersions(const QString& published, const QString& own);

} // namespace SystemCheck
