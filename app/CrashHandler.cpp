#include "app/CrashHandler.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/RunLog.h"
#include "app/UrlConfig.h"
#include "platform/CrashHandler.h"
#include "platform/SignalSafeText.h"

#include <QDebug>
#include <QFile>
#include <QList>

#include <atomic>
#include <cstring>
#include <ctime>

namespace {

std::atomic<UrlConfig*> s_urlConfig{nullptr};

// Appends to a hand-over buffer without allocating; each piece is cut to what fits.
class HandOverBuffer
{
public:
    HandOverBuffer(char* buffer, std::size_t size)
        : m_buffer(buffer)
        , m_size(size)
    {
    }

    std::size_t used() const { return m_used; }

    void text(const char* text)
    {
        for (; *text != '\0' && m_used < m_size; ++text)
            m_buffer[m_used++] = *text;
    }

    void number(long long value)
    {
        char digits[Platform::kDecimalTextSize];
        Platform::decimalText(value, digits);
        text(digits);
    }

    void qstring(const QString& value)
    {
        if (m_used >= m_size)
            return;
        // utf16ToUtf8 ends its output with a NUL, which the next piece overwrites.
        m_used += Platform::utf16ToUtf8(reinterpret_cast<const char16_t*>(value.constData()), std::size_t(value.size()),
                                        m_buffer + m_used, m_size - m_used);
    }

    void field(const char* key, const QString& value)
    {
        text(key);
        text("=");
        qstring(value);
        text("\n");
    }

    void field(const char* key, long long value)
    {
        text(key);
        text("=");
        number(value);
        text("\n");
    }

private:
    char* m_buffer;
    std::size_t m_size;
    std::size_t m_used = 0;
};

} // namespace

void installCrashHandler()
{
    static std::atomic<bool> installed{false};
    if (installed.exchange(true))
        return;
    AppGlobalData::instance();
    s_urlConfig = UrlConfig::instance();
    Platform::CrashHooks hooks;
    hooks.writePending = &RunLog::writeForExit;
    hooks.crashFolder = crashLogFolder;
    hooks.handOver = writeCrashHandOver;
    hooks.dumpFileName = kCrashDumpFileName;
    hooks.uploadOption = kCrashUploadOption;
    hooks.uploadTimeoutSeconds = kCrashUploadTimeoutSeconds;
    if (!Platform::installCrashSignalHandlers(hooks))
        qWarning() << "installCrashHandler: not every crash signal handler could be installed";
}

bool crashLogFolder(char* buffer, std::size_t size)
{
    const ConfigManager* config = ConfigManager::existingInstance();
    if (!config || size == 0)
        return false;
    const QString folder = config->getLogDir();
    if (folder.isEmpty())
        return false;
    const auto* text = reinterpret_cast<const char16_t*>(folder.constData());
    const std::size_t needed = Platform::utf8LengthOfUtf16(text, std::size_t(folder.size()));
    if (needed + 1 > size) // a cut path would name another folder
        return false;
    return Platform::utf16ToUtf8(text, std::size_t(folder.size()), buffer, size) == needed;
}

std::size_t writeCrashHandOver(char* buffer, std::size_t size)
{
    HandOverBuffer out(buffer, size);
    const AppGlobalData* data = AppGlobalData::instance();
    out.field("crashTime", static_cast<long long>(std::time(nullptr)));
    if (const UrlConfig* urls = s_urlConfig.load()) {
        out.field("api", urls->api);
        out.field("restful", urls->restful);
    }
    out.field("token", data->launch.token);
    out.field("userId", data->launch.userId);
    out.field("accountType", data->launch.accountType);
    out.field("uiType", data->launch.uiType);
    out.field("paramA", data->launch.paramA);
    out.field("lessonId", data->lesson.lessonId);
    out.field("periodId", data->lesson.periodId);
    out.field("teacherId", data->teacher.userId);
    out.field("teacherName", data->teacher.enNickName);
    return out.used();
}

CrashHandOver CrashHandOver::parse(const QByteArray& text)
{
    CrashHandOver handOver;
    const QList<QByteArray> lines = text.split('\n');
    for (const QByteArray& line : lines) {
        const int equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray key = line.left(equals);
        const QString value = QString::fromUtf8(line.mid(equals + 1));
        if (key == "crashTime")
            handOver.crashTime = QDateTime::fromSecsSinceEpoch(value.toLongLong());
        else if (key == "api")
            handOver.apiBase = value;
        else if (key == "restful")
            handOver.restfulBase = value;
        else if (key == "token")
            handOver.token = value;
        else if (key == "userId")
            handOver.userId = value;
        else if (key == "accountType")
            handOver.accountType = value.toInt();
        else if (key == "uiType")
            handOver.uiType = value.toInt();
        else if (key == "paramA")
            handOver.paramA = value.toInt();
        else if (key == "lessonId")
            handOver.lessonId = value;
        else if (key == "periodId")
            handOver.periodId = value;
        else if (key == "teacherId")
            handOver.teacherId = value;
        else if (key == "teacherName")
            handOver.teacherName = value;
    }
    return handOver;
}

void CrashHandOver::apply() const
{
    AppGlobalData* data = AppGlobalData::instance();
    data->launch.token = token;
    data->launch.userId = userId;
    data->launch.accountType = accountType;
    data->launch.uiType = uiType;
    data->launch.paramA = paramA;
    data->lesson.lessonId = lessonId;
    data->lesson.periodId = periodId;
    data->teacher.userId = teacherId;
    data->teacher.enNickName = teacherName;
    UrlConfig* urls = UrlConfig::instance();
    if (!apiBase.isEmpty())
        urls->api = apiBase;
    if (!restfulBase.isEmpty())
        urls->restful = restfulBase;
}

QString crashUploadFolderArgument(int argc, const char* const* argv)
{
    const std::size_t optionLength = std::strlen(kCrashUploadOption);
    for (int i = 1; i < argc; ++i) {
        if (argv[i] && std::strncmp(argv[i], kCrashUploadOption, optionLength) == 0)
            return QFile::decodeName(argv[i] + optionLength);
    }
    return QString();
}
