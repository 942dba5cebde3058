#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/LogInfo.h"
#include "app/LogLock.h"
#include "app/LogText.h"
#include "app/ProgramFiles.h"
#include "app/SaveFileCommit.h"
#include "app/SystemInfo.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <QTextStream>

namespace {

const char kTimeStampFormat[] = "yyyy-MM-dd hh:mm:ss:zzz";

// Stands in the document for the lines, which are written into the text in its place.
const char kLinesPlaceholder[] = "zm-log-lines";
constexpr int kWriteBatchBytes = 64 * 1024;

bool writeWhole(QIODevice& out, const char* data, qint64 size)
{
    return out.write(data, size) == size;
}

// The document as QJsonDocument writes it, indented, with the lines as its array "logs". The lines go
// straight from the store into the text, never held a second time as JSON values.
bool writeDocument(QIODevice& out, QJsonObject document, const LogLineStore& lines)
{
    if (lines.isEmpty()) {
        document.insert("logs", QJsonArray());
        const QByteArray text = QJsonDocument(document).toJson(QJsonDocument::Indented);
        return writeWhole(out, text.constData(), text.size());
    }
    document.insert("logs", QJsonArray{QLatin1String(kLinesPlaceholder)});
    const QByteArray text = QJsonDocument(document).toJson(QJsonDocument::Indented);
    // The top level's keys are indented by four blanks, the array's items by eight; a line break inside a
    // value is written escaped, so this finds the array itself.
    const QByteArray arrayStart = "\n    \"logs\": [\n";
    const int at = text.indexOf(arrayStart + "        \"" + kLinesPlaceholder + "\"\n");
    if (at < 0)
        return false;
    const int linesStart = at + arrayStart.size();
    const int linesEnd = text.indexOf('\n', linesStart);

    if (!writeWhole(out, text.constData(), linesStart))
        return false;
    QByteArray batch;
    batch.reserve(kWriteBatchBytes + 1024);
    bool written = true;
    bool first = true;
    lines.forEach([&](const char* data, std::size_t size) {
        if (!first)
            batch += ",\n";
        first = false;
        batch += "        ";
        appendJsonString(batch, data, size);
        if (batch.size() >= kWriteBatchBytes) {
            written = written && writeWhole(out, batch.constData(), batch.size());
            batch.resize(0);
        }
    });
    return written && writeWhole(out, batch.constData(), batch.size()) &&
           writeWhole(out, text.constData() + linesEnd, text.size() - linesEnd);
}

} // namespace

bool LogInfo::loadLinesFromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (file.size() > kMaxLoadedBytes && !file.seek(file.size() - kMaxLoadedBytes))
        return false;
    const QList<QByteArray> rawLines = file.readAll().split('\n');
    for (const QByteArray& raw : rawLines) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (!line.isEmpty())
            appendLine(line);
    }
    return true;
}

bool LogInfo::writeLogInfoJson(const QString& path, bool withContext)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    m_document.insert("timeStamp", QDateTime::currentDateTime().toString(kTimeStampFormat));
    if (withContext)
        m_document.insert("contextInfo", logContextInfo());
    m_document.insert("systemInfo", logSystemInfo());
    return writeDocument(file, m_document, m_lines) && commitWholeFile(file);
}

QString writeLogInfoFile(const QString& path)
{
    const QString target = path.isEmpty() ? defaultLogInfoFilePath(QDateTime::currentDateTime()) : path;
    if (target.isEmpty()) {
        qWarning() << "writeLogInfoFile: there is no log folder";
        return QString();
    }
    LogInfo snapshot;
    {
        LogLock lock;
        snapshot = *LogInfo::instance();
    }
    if (!snapshot.writeLogInfoJson(target, true)) {
        qWarning().noquote() << "writeLogInfoFile cannot write" << target;
        return QString();
    }
    return target;
}

QString defaultLogInfoFilePath(const QDateTime& time)
{
    const QString folder = ConfigManager::instance()->getLogDir();
    if (folder.isEmpty())
        return QString();
    const LessonContext lesson = AppGlobalData::instance()->lessonContext();
    return createLogFileName(folder, QString::number(lesson.userIdAsInt()), lesson.periodId(), time);
}

bool writeLogInfoJsonFromText(const QString& logFile, const QString& jsonPath)
{
    LogInfo info;
    if (!info.loadLinesFromFile(logFile))
        return false;
    return info.writeLogInfoJson(jsonPath, false);
}

QString createLogPathWithExtension(const QString& extension, const QString& folder, const QString& a, const QString& b,
                                   const QDateTime& time)
{
    const QString name = QStringLiteral("%1_%2_%3.%4").arg(a, b, time.toString("yyyy_MM_dd_HH_mm"), extension);
    return QFileInfo(QDir(folder), name).absoluteFilePath();
}

QString createLogFileName(const QString& folder, const QString& a, const QString& b, const QDateTime& time)
{
    return createLogPathWithExtension(QStringLiteral("txt"), folder, a, b, time);
}

QString accountTypeWord(int accountType)
{
    switch (accountType) {
    case 1:
        return QStringLiteral("Student");
    case 2:
        return QStringLiteral("Teacher");
    case 3:
        return QStringLiteral("Auditor");
    default:
        return QStringLiteral("Unknow");
    }
}

QJsonObject logContextInfo()
{
    const AppGlobalData* data = AppGlobalData::instance();
    QJsonObject context;
    context.insert("lessonId", data->lesson.lessonId);
    context.insert("teacher", data->teacher.userId + '/' + data->teacher.enNickName);
    context.insert("periodId", data->lesson.periodId);
    context.insert("lessonUiType", QString::number(data->launch.uiType));
    context.insert("myAccountType", accountTypeWord(data->launch.accountType));
    context.insert("myUserID", data->launch.userId);
    return context;
}

QJsonObject logSystemInfo()
{
    QJsonObject system;
    system.insert("systemVersion", getPlatformDescription());
    system.insert("device", "PC");
    system.insert("appName", "ZmQuillo");
    system.insert("appVersion", getExeFileVersion(4));
    system.insert("CPU", getCpuDescription());
    system.insert("physicalMemory", getMemoryDescription());
    return system;
}
