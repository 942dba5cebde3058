#include "RtcTestSupport.h"

#include "app/ConfigManager.h"
#include "live/rtc/sim/SimEngineSetup.h"
#include "live/rtc/sim/SimRtcEngine.h"

#include "WaitUntil.h"

#include <QFile>
#include <QJsonDocument>
#include <QSettings>

namespace RtcTest {

TracedScenario::TracedScenario()
{
    scenario.tracePath = tracePath();
}

void TracedScenario::use()
{
    scenario.tracePath = tracePath();
    SimEngineSetup::setScenario(scenario);
}

QList<QJsonObject> TracedScenario::trace() const
{
    QList<QJsonObject> lines;
    QFile file(tracePath());
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (!line.isEmpty())
            lines.append(QJsonDocument::fromJson(line).object());
    }
    return lines;
}

QList<QJsonObject> TracedScenario::calls(const QString& call) const
{
    QList<QJsonObject> found;
    const QList<QJsonObject> lines = trace();
    for (const QJsonObject& line : lines) {
        if (line.contains(QLatin1String("call")) && (call.isEmpty() || line.value("call").toString() == call))
            found.append(line);
    }
    return found;
}

QStringList TracedScenario::callNames() const
{
    QStringList names;
    const QList<QJsonObject> lines = calls();
    for (const QJsonObject& line : lines)
        names << line.value("call").toString();
    return names;
}

QList<QJsonObject> TracedScenario::callbacks(const QString& name) const
{
    QList<QJsonObject> found;
    const QList<QJsonObject> lines = trace();
    for (const QJsonObject& line : lines) {
        if (line.value("callback").toString() == name)
            found.append(line);
    }
    return found;
}

QStringList TracedScenario::parameterTexts() const
{
    QStringList texts;
    const QList<QJsonObject> lines = calls();
    for (const QJsonObject& line : lines) {
        const QString call = line.value("call").toString();
        const QJsonObject args = line.value("args").toObject();
        const QJsonValue value = args.value("value");
        QString valueText;
        if (value.isBool())
            valueText = value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
        else if (value.isDouble())
            valueText = QString::number(value.toInt());
        else
            valueText = value.toString();
        if (call == QLatin1String("setParameters"))
            texts << call + ' ' + valueText;
        else if (call.startsWith(QLatin1String("set")) && args.contains(QLatin1String("key")))
            texts << call + ' ' + args.value("key").toString() + ' ' + valueText;
    }
    return texts;
}

QJsonValue argOf(const QJsonObject& line, const char* key)
{
    return line.value(QLatin1String("args")).toObject().value(QLatin1String(key));
}

SimRtcEngine* simEngine(agora::rtc::IRtcEngine* engine)
{
    SimRtcEngine* sim = SimRtcEngine::from(engine);
    if (!sim)
        qWarning() << "RtcTest::simEngine not a simulated engine";
    return sim;
}

QVariant storedSetting(const QString& key)
{
    QSettings settings(ConfigManager::instance()->getIniPath(), QSettings::IniFormat);
    settings.sync();
    return settings.value(key);
}

SimDeviceSpec device(const std::string& name, const std::string& id, bool refuse, int level)
{
    return SimDeviceSpec{name, id, refuse, level};
}

QString storedDeviceId(const char* key)
{
    QByteArray id;
    ConfigManager::instance()->ini_GetParam_String(key, id);
    return QString::fromUtf8(id);
}

QList<SignalLog::Entry> SignalLog::entries(const QString& name) const
{
    QList<Entry> found;
    for (const Entry& entry : m_entries) {
        if (entry.name == name)
            found.append(entry);
    }
    return found;
}

bool SignalLog::waitFor(const QString& name, int n, int timeoutMs) const
{
    return ZmTest::waitUntil([&] { return count(name) >= n; }, timeoutMs, 10);
}

} // namespace RtcTest
