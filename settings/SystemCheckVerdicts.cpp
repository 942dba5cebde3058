#include "settings/SystemCheckVerdicts.h"

#include <QCoreApplication>

namespace SystemCheck {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("CheckSystemDlg", text);
}

QString colourStyle(const char* colour)
{
    return QStringLiteral("QLabel{color:%1; font: 75 13px \"微软雅黑\";}").arg(QLatin1String(colour));
}

// The processor verdicts write a blank after the colon.
QString spacedColourStyle(const char* colour)
{
    return QStringLiteral("QLabel{color: %1; font: 75 13px \"微软雅黑\";}").arg(QLatin1String(colour));
}

const char* const kGrey = "#999999";
const char* const kGreen = "#55aa00";
const char* const kRed = "#ff0000";
const char* const kOrange = "#ffaa00";

} // namespace

int overallPingGrade(const QList<int>& grades)
{
    for (int precedence : {0, 2, 3}) {
        if (grades.contains(precedence))
            return precedence;
    }
    return 1;
}

Verdict networkVerdict(int overallGrade)
{
    switch (overallGrade) {
    case 1:
        return {tr(QT_TRANSLATE_NOOP("CheckSystemDlg", "Fluency")), colourStyle(kGreen)};
    case 2:
        return {tr(QT_TRANSLATE_NOOP("CheckSystemDlg", "Congestion")), colourStyle(kRed)};
    case 3:
        return {tr(QT_TRANSLATE_NOOP("CheckSystemDlg", "Busy")), colourStyle(kOrange)};
    default:
        return {tr(QT_TRANSLATE_NOOP("CheckSystemDlg", "Connection failed")), colourStyle(kGrey)};
    }
}

bool networkPasses(int overallGrade)
{
    return overallGrade == 1 || overallGrade == 3;
}

Verdict downloadVerdict(bool failed, float speed)
{
    if (failed)
        return {tr(QT_TRANSLATE_NOOP("CheckSystemDlg", "Connection failed")), colourStyle(kGrey)};
    if (speed < 100.0f)
        return {tr(QT_TRANSLATE_NOOP("CheckSystemDlg", "Poor")), colourStyle(kRed)};
    if (speed < 250.0f)
        return {tr(QT_TRANSLATE_NOOP("CheckSystemDlg", "Good")), colourStyle(kOrange)};
    return {tr(QT_TRANSLATE_NOOP("CheckSystemDlg", "Great")), colourStyle(kGreen)};
}

bool downloadPasses(bool failed, float speed)
{
    return !failed && speed >= 100.0f;
}

Verdict cpuVerdict(int usagePercent)
{
    if (usagePercent < 30)
        return {tr(QT_TRANSLATE_NOOP("CheckSystemDlg", "Low")), colourStyle(kGreen)};
    if (usagePercent >= 60)
        return {tr(QT_TRANSLATE_NOOP("CheckSystemDlg", "High")), spacedColourStyle(kRed)};
    return {tr(QT_TRANSLATE_NOOP("CheckSystemDlg", "Medium")), spacedColourStyle(kOrange)};
}

Verdict detectingVerdict()
{
    return {tr(QT_TRANSLATE_NOOP("CheckSystemDlg", "Detecting...")), colourStyle(kGreen)};
}

QStringList reportLines(const ReportInput& input)
{
    const auto state = [](bool ok) { return ok ? QStringLiteral("OK") : QStringLiteral("Failed"); };
    QStringList lines{QStringLiteral("Camera = ") + state(input.cameraOk),
                      QStringLiteral("Micphone = ") + state(input.microphoneOk),
                      QStringLiteral("Speaker = ") + state(input.speakerOk)};
    lines += input.pingLines;
    if (!input.downloadLine.isEmpty())
        lines << input.downloadLine;
    lines << QStringLiteral("CpuUsage = ") + QString::number(input.cpuUsage);
    return lines;
}

QList<int> versionNumbers(const QString& text)
{
    QList<int> numbers;
    const QStringList parts = text.split(QLatin1Char('.'));
    for (const QString& part : parts) {
        bool ok = false;
        const int number = part.toInt(&ok, 10);
        if (!ok)
            break;
        numbers << number;
    }
    return numbers;
}

VersionNote compareVersions(const QString& published, const QString& own)
{
    const QList<int> publishedNumbers = versionNumbers(published);
    const QList<int> ownNumbers = versionNumbers(own);
    const int count = qMin(publishedNumbers.size(), ownNumbers.size());
    if (count == 0)
        return VersionNote::None;
    for (int index = 0; index < count; ++index) {
        if (publishedNumbers.at(index) > ownNumbers.at(index))
            return VersionNote::Outdated;
        if (publishedNumbers.at(index) < ownNumbers.at(index))
            break;
    }
    return VersionNote::Latest;
}

} // namespace SystemCheck
