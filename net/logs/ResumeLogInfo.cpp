#include "net/logs/ResumeLogInfo.h"

#include "app/ConfigManager.h"
#include "app/SaveFileCommit.h"
#include "net/http/SecretMask.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QJsonDocument>
#include <QMutexLocker>
#include <QSaveFile>

namespace {

const char kFileName[] = "/resumeLogInfo.json";

// One key whose value is an object.
bool isOwedEntry(const QJsonValue& value)
{
    if (!value.isObject())
        return false;
    const QJsonObject entry = value.toObject();
    return entry.size() == 1 && entry.begin().value().isObject();
}

QByteArray compactText(const QJsonArray& list)
{
    return QJsonDocument(list).toJson(QJsonDocument::Compact);
}

} // namespace

ResumeLogInfo& ResumeLogInfo::instance()
{
    static ResumeLogInfo list([] {
        const QString folder = ConfigManager::instance()->getAppDataDir();
        return folder.isEmpty() ? QString() : folder + kFileName;
    }());
    return list;
}

ResumeLogInfo::ResumeLogInfo(const QString& filePath)
    : m_filePath(filePath)
{
}

QString ResumeLogInfo::periodIdOf(const QJsonObject& entry)
{
    return entry.isEmpty() ? QString() : entry.begin().key();
}

QJsonObject ResumeLogInfo::valueOf(const QJsonObject& entry)
{
    return entry.isEmpty() ? QJsonObject() : entry.begin().value().toObject();
}

void ResumeLogInfo::appendResumeLogInfo(const QString& periodId, const QString& lessonId, const QDateTime& time,
                                        const QString& logFilePath, const QString& userId, const QString& token)
{
    QMutexLocker locker(&m_mutex);
    loadLocked();
    QJsonObject value{
        {kLessonIdKey, lessonId}, {kDateTimeKey, time.toString(kDateTimeFormat)}, {kLogFileKey, logFilePath}};
    if (!userId.isEmpty()) {
        value.insert(kUserIdKey, userId);
        value.insert(kTokenKey, token);
    }
    m_list.append(QJsonObject{{periodId, value}});
    while (m_list.size() > kMaxEntries)
        m_list.removeFirst();
    saveLocked();
}

int ResumeLogInfo::loadJsonFile_ResumeLogInfo()
{
    QMutexLocker locker(&m_mutex);
    return loadLocked();
}

void ResumeLogInfo::saveJsonFile_ResumeLogInfo()
{
    QMutexLocker locker(&m_mutex);
    saveLocked();
}

void ResumeLogInfo::removeOwedEntry(int index)
{
    QMutexLocker locker(&m_mutex);
    loadLocked();
    if (index < 0 || index >= m_list.size())
        return;
    m_list.removeAt(index);
    saveLocked();
}

bool ResumeLogInfo::removeOwedEntry(const QJsonObject& entry)
{
    QMutexLocker locker(&m_mutex);
    loadLocked();
    if (!removeLocked(entry))
        return false;
    saveLocked();
    return true;
}

void ResumeLogInfo::removeOwedEntriesOfPeriod(const QString& periodId)
{
    if (periodId.isEmpty())
        return;
    QMutexLocker locker(&m_mutex);
    loadLocked();
    bool removed = false;
    for (int i = m_list.size() - 1; i >= 0; --i) {
        if (periodIdOf(m_list.at(i).toObject()) == periodId) {
            m_list.removeAt(i);
            removed = true;
        }
    }
    if (removed)
        saveLocked();
}

void ResumeLogInfo::removeOwedEntriesOfRun(const QString& periodId, const QString& userId, const QString& logFilePath)
{
    if (periodId.isEmpty() || logFilePath.isEmpty())
        return;
    QMutexLocker locker(&m_mutex);
    loadLocked();
    bool removed = false;
    for (int i = m_list.size() - 1; i >= 0; --i) {
        const QJsonObject entry = m_list.at(i).toObject();
        const QJsonObject value = valueOf(entry);
        const QJsonValue owner = value.value(kUserIdKey);
        if (periodIdOf(entry) == periodId && value.value(kLogFileKey).toString() == logFilePath &&
            (owner.isUndefined() || owner.toString() == userId)) {
            m_list.removeAt(i);
            removed = true;
        }
    }
    if (removed)
        saveLocked();
}

QJsonArray ResumeLogInfo::entries()
{
    QMutexLocker locker(&m_mutex);
    loadLocked();
    return m_list;
}

void ResumeLogInfo::resumeUploadLogFile(const std::function<int(const QJsonObject&)>& upload)
{
    const QJsonArray owed = entries();
    for (int i = owed.size() - 1; i >= 0; --i) {
        const QJsonObject entry = owed.at(i).toObject();
        const int code = upload(entry);
        if (code != 0)
            qDebug() << "ResumeLogInfo::resumeUploadLogFile nErrorCode = " << code;
        if (code < kFirstRetriedCode)
            removeOwedEntry(entry);
    }
}

int ResumeLogInfo::loadLocked()
{
    if (m_list.isEmpty() && !m_filePath.isEmpty()) {
        QFile file(m_filePath);
        if (file.open(QIODevice::ReadOnly)) {
            if (file.size() > kMaxFileBytes) {
                file.close();
                setFileAside("it is larger than 10240 bytes");
            } else {
                QJsonParseError error{};
                const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
                file.close();
                if (error.error != QJsonParseError::NoError || !document.isArray()) {
                    setFileAside("it is no JSON array");
                } else {
                    const QJsonArray stored = document.array();
                    for (const QJsonValue& value : stored) {
                        if (isOwedEntry(value))
                            m_list.append(value);
                        else
                            qWarning().noquote()
                                << "ResumeLogInfo::loadJsonFile_ResumeLogInfo drops an entry of the wrong shape:"
                                << SecretMask::maskSecrets(QString::fromUtf8(compactText(QJsonArray{value})));
                    }
                    while (m_list.size() > kEntriesKeptAtLoad)
                        m_list.removeFirst();
                    saveLocked();
                }
            }
        }
    }
    qDebug() << "loadJsonFile_ResumeLogInfo return :" << m_list.size();
    return m_list.size();
}

void ResumeLogInfo::saveLocked()
{
    if (m_filePath.isEmpty())
        return;
    // A file over the size limit would be set aside whole at the next load; drop the oldest entries instead.
    QByteArray text = compactText(m_list);
    while (!m_list.isEmpty() && text.size() > kMaxFileBytes) {
        qWarning() << "ResumeLogInfo::saveJsonFile_ResumeLogInfo drops the oldest entry: the list is over"
                   << kMaxFileBytes << "bytes";
        m_list.removeFirst();
        text = compactText(m_list);
    }
    if (m_list.isEmpty()) {
        if (QFile::exists(m_filePath) && !QFile::remove(m_filePath))
            qWarning().noquote() << "ResumeLogInfo::saveJsonFile_ResumeLogInfo cannot remove" << m_filePath;
        return;
    }
    QSaveFile file(m_filePath);
    // The entries hold their users' tokens: the file is the owner's alone.
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        file.write(text) != text.size() || !commitWholeFile(file))
        qWarning().noquote() << "ResumeLogInfo::saveJsonFile_ResumeLogInfo cannot write" << m_filePath;
}

void ResumeLogInfo::setFileAside(const char* reason)
{
    const QString aside = m_filePath + ".bad";
    QFile::remove(aside);
    if (QFile::rename(m_filePath, aside)) {
        qWarning().noquote() << "ResumeLogInfo::loadJsonFile_ResumeLogInfo set" << m_filePath << "aside as" << aside
                             << "because" << reason;
    } else if (QFile::remove(m_filePath)) {
        qWarning().noquote() << "ResumeLogInfo::loadJsonFile_ResumeLogInfo removed" << m_filePath << "because" << reason
                             << "(it could not be renamed)";
    } else {
        qWarning().noquote() << "ResumeLogInfo::loadJsonFile_ResumeLogInfo cannot set" << m_filePath << "aside;"
                             << reason;
    }
}

bool ResumeLogInfo::removeLocked(const QJsonObject& entry)
{
    for (int i = 0; i < m_list.size(); ++i) {
        if (m_list.at(i).toObject() == entry) {
            m_list.removeAt(i);
            return true;
        }
    }
    return false;
}
