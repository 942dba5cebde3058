#include "Simulator.h"

#include "RawHttp.h"
#include "WaitUntil.h"
#include "ZmTestMain.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

namespace ZmTest {

namespace {

// A control request is answered at once, but the simulator may be slow to get to it on a loaded machine.
constexpr int kControlTimeoutMs = kWaitMs;

QString actionName(Simulator::Route::Action action)
{
    switch (action) {
    case Simulator::Route::Action::Close:
        return QStringLiteral("close");
    case Simulator::Route::Action::Stall:
        return QStringLiteral("stall");
    case Simulator::Route::Action::Raw:
        return QStringLiteral("raw");
    case Simulator::Route::Action::Reply:
        break;
    }
    return QStringLiteral("reply");
}

} // namespace

QJsonObject Simulator::Route::toJson() const
{
    QJsonObject object;
    object["method"] = method;
    object["path"] = path;
    object["match"] = prefix ? "prefix" : "exact";
    if (!params.isEmpty()) {
        QJsonObject paramObject;
        for (auto it = params.cbegin(); it != params.cend(); ++it)
            paramObject[it.key()] = it.value();
        object["params"] = paramObject;
    }
    object["action"] = actionName(action);
    object["status"] = status;
    QJsonArray headerArray;
    for (const auto& pair : headers)
        headerArray.append(QJsonArray{pair.first, pair.second});
    object["headers"] = headerArray;
    object["body_base64"] = QString::fromLatin1(body.toBase64());
    object["repeat"] = repeat;
    object["delay_ms"] = delayMs;
    if (!hold.isEmpty())
        object["hold"] = hold;
    if (times > 0)
        object["times"] = times;
    else
        object["times"] = "always";
    if (action == Action::Raw)
        object["raw_base64"] = QString::fromLatin1(raw.toBase64());
    return object;
}

Simulator::Simulator(const QStringList& extraArguments)
    : m_extraArguments(extraArguments)
{
}

Simulator::~Simulator()
{
    stop();
    forwardErrorOutput();
    QObject::disconnect(&m_process, nullptr, nullptr, nullptr);
}

QString Simulator::programPath()
{
    return QStringLiteral("/usr/bin/python3");
}

QString Simulator::scriptPath()
{
    return sourceDir() + QStringLiteral("/tests/sim/simulator.py");
}

bool Simulator::start(int timeoutMs)
{
    if (isRunning()) {
        m_error = QStringLiteral("already running");
        return false;
    }
    m_error.clear();
    m_errorOutput.clear();
    m_baseUrl.clear();
    m_port = 0;
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setReadChannel(QProcess::StandardOutput);
    QObject::disconnect(&m_process, &QProcess::readyReadStandardError, nullptr, nullptr);
    QObject::connect(&m_process, &QProcess::readyReadStandardError, [this] { forwardErrorOutput(); });
    m_process.start(programPath(), QStringList{scriptPath()} + m_extraArguments);
    QDeadlineTimer deadline(timeoutMs);
    if (!m_process.waitForStarted(int(deadline.remainingTime()))) {
        m_error = QStringLiteral("cannot start %1 %2: %3").arg(programPath(), scriptPath(), m_process.errorString());
        return false;
    }
    while (!m_process.canReadLine()) {
        if (m_process.state() != QProcess::Running || deadline.hasExpired() ||
            !m_process.waitForReadyRead(int(deadline.remainingTime()))) {
            break;
        }
    }
    if (!m_process.canReadLine()) {
        if (m_process.state() != QProcess::Running)
            m_error = QStringLiteral("the simulator ended (exit code %1) before printing its address")
                          .arg(m_process.exitCode());
        else
            m_error = QStringLiteral("the simulator printed no address within %1 ms").arg(timeoutMs);
        stop();
        forwardErrorOutput();
        m_error += m_errorOutput.isEmpty()
                       ? QStringLiteral("; it wrote nothing to its error output")
                       : QStringLiteral("; its error output:\n") + QString::fromLocal8Bit(m_errorOutput);
        return false;
    }
    const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
    static const QRegularExpression addressPattern(QStringLiteral("^http://127\\.0\\.0\\.1:(\\d{1,5})$"));
    const QRegularExpressionMatch match = addressPattern.match(line);
    const uint port = match.hasMatch() ? match.captured(1).toUInt() : 0;
    if (port == 0 || port > 65535) {
        m_error = QStringLiteral("the simulator's first line is not its address: \"%1\"").arg(line);
        stop();
        return false;
    }
    m_port = quint16(port);
    m_baseUrl = line;
    return true;
}

void Simulator::forwardErrorOutput()
{
    const QByteArray text = m_process.readAllStandardError();
    if (text.isEmpty())
        return;
    fwrite(text.constData(), 1, size_t(text.size()), stderr);
    fflush(stderr);
    // The last few kilobytes say why it failed.
    m_errorOutput = (m_errorOutput + text).right(8192);
}

bool Simulator::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    m_process.closeWriteChannel();
    if (m_process.waitForFinished(10000))
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    qWarning() << "Simulator::stop the simulator did not end after its input closed; terminating it";
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    return false;
}

bool Simulator::isRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

QJsonDocument Simulator::control(const QByteArray& method, const QString& target, const QByteArray& body, int* status)
{
    if (status)
        *status = 0;
    if (m_port == 0) {
        qWarning() << "Simulator::control the simulator is not running";
        return {};
    }
    RawHeaderList headers;
    if (!body.isEmpty())
        headers.append(qMakePair(QByteArrayLiteral("Content-Type"), QByteArrayLiteral("application/json")));
    const QByteArray host = "127.0.0.1:" + QByteArray::number(m_port);
    const RawHttpResult result =
        rawHttpExchange(QStringLiteral("127.0.0.1"), m_port,
                        buildHttpRequest(method, target.toUtf8(), host, headers, body), kControlTimeoutMs);
    if (!result.complete) {
        qWarning() << "Simulator::control no whole reply to" << method << target;
        return {};
    }
    if (status)
        *status = result.status;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(result.body, &error);
    if (error.error != QJsonParseError::NoError)
        qWarning() << "Simulator::control reply to" << method << target << "is not JSON:" << result.body.left(200);
    else if (result.status != 200)
        qWarning() << "Simulator::control" << method << target << "answered" << result.status << result.body;
    return document;
}

bool Simulator::controlOk(const QByteArray& method, const QString& target, const QByteArray& body)
{
    int status = 0;
    control(method, target, body, &status);
    return status == 200;
}

int Simulator::program(const Route& route)
{
    return program(route.toJson());
}

int Simulator::program(const QJsonObject& route)
{
    int status = 0;
    const QJsonDocument reply = control("POST", QStringLiteral("/_control/routes"),
                                        QJsonDocument(route).toJson(QJsonDocument::Compact), &status);
    if (status != 200)
        return -1;
    return reply.object().value("id").toInt(-1);
}

bool Simulator::clearRoutes()
{
    return controlOk("DELETE", QStringLiteral("/_control/routes"));
}

bool Simulator::clearRequests()
{
    return controlOk("DELETE", QStringLiteral("/_control/requests"));
}

bool Simulator::reset()
{
    return controlOk("POST", QStringLiteral("/_control/reset"));
}

QJsonArray Simulator::requests(const QString& pathPrefix)
{
    QString target = QStringLiteral("/_control/requests");
    if (!pathPrefix.isEmpty())
        target += QStringLiteral("?prefix=") + QString::fromLatin1(QUrl::toPercentEncoding(pathPrefix));
    return control("GET", target).object().value("requests").toArray();
}

QJsonArray Simulator::numberedRequests(const QString& funcTag)
{
    QJsonArray found;
    for (const QJsonValue& value : requests(QStringLiteral("/quillo/entrance"))) {
        if (value.toObject().value("func_tag").toString() == funcTag)
            found.append(value);
    }
    return found;
}

QJsonArray Simulator::pollFor(int count, int timeoutMs, const std::function<QJsonArray()>& fetch)
{
    QJsonArray found;
    // Each look is a request to the simulator: every 20 ms.
    waitUntil(
        [&] {
            found = fetch();
            return found.size() >= count;
        },
        timeoutMs, 20);
    return found;
}

QJsonArray Simulator::waitForRequests(int count, const QString& pathPrefix, int timeoutMs)
{
    return pollFor(count, timeoutMs, [&] { return requests(pathPrefix); });
}

bool Simulator::releaseHold(const QString& name)
{
    return controlOk(
        "POST", QStringLiteral("/_control/holds/%1/release").arg(QString::fromLatin1(QUrl::toPercentEncoding(name))));
}

bool Simulator::clearHolds()
{
    return controlOk("DELETE", QStringLiteral("/_control/holds"));
}

int Simulator::heldBy(const QString& name)
{
    int status = 0;
    const QJsonDocument reply = control("GET", QStringLiteral("/_control/holds"), {}, &status);
    if (status != 200)
        return -1;
    for (const QJsonValue& hold : reply.object().value("holds").toArray()) {
        if (hold.toObject().value("name").toString() == name)
            return hold.toObject().value("waiting").toInt();
    }
    return 0;
}

bool Simulator::waitForHeld(const QString& name, int count, int timeoutMs)
{
    return waitUntil([&] { return heldBy(name) >= count; }, timeoutMs, 20);
}

QString Simulator::putFile(const QString& relativePath, const QByteArray& data)
{
    int status = 0;
    const QString target = QStringLiteral("/_control/files/") +
                           QString::fromLatin1(QUrl::toPercentEncoding(relativePath, QByteArrayLiteral("/")));
    const QJsonDocument reply = control("PUT", target, data, &status);
    return status == 200 ? reply.object().value("url").toString() : QString();
}

QJsonArray Simulator::ossObjects()
{
    return control("GET", QStringLiteral("/_control/oss/objects")).object().value("objects").toArray();
}

QByteArray Simulator::ossObject(const QString& bucket, const QString& key, bool* found)
{
    if (found)
        *found = false;
    if (m_port == 0)
        return {};
    const QByteArray target =
        "/_control/oss/object?bucket=" + QUrl::toPercentEncoding(bucket) + "&key=" + QUrl::toPercentEncoding(key);
    const QByteArray host = "127.0.0.1:" + QByteArray::number(m_port);
    const RawHttpResult result =
        rawHttpExchange(QStringLiteral("127.0.0.1"), m_port, buildHttpRequest("GET", target, host), kControlTimeoutMs);
    if (!result.complete || result.status != 200)
        return {};
    if (found)
        *found = true;
    return result.body;
}

bool Simulator::queueOssError(int status, const QString& code, const QString& message, int times)
{
    const QJsonObject error{{"status", status}, {"code", code}, {"message", message}, {"times", times}};
    return controlOk("POST", QStringLiteral("/_control/oss/errors"),
                     QJsonDocument(error).toJson(QJsonDocument::Compact));
}

bool Simulator::addOssCredentials(const QString& accessKeyId, const QString& accessKeySecret,
                                  const QString& securityToken)
{
    const QJsonObject item{
        {"accessKeyId", accessKeyId}, {"accessKeySecret", accessKeySecret}, {"securityToken", securityToken}};
    return controlOk("POST", QStringLiteral("/_control/oss/credentials"),
                     QJsonDocument(item).toJson(QJsonDocument::Compact));
}

QByteArray Simulator::bodyOf(const QJsonObject& entry)
{
    return QByteArray::fromBase64(entry.value("body_base64").toString().toLatin1());
}

QList<QPair<QString, QString>> Simulator::pairsOf(const QJsonValue& pairs)
{
    QList<QPair<QString, QString>> result;
    const QJsonArray array = pairs.toArray();
    for (const QJsonValue& item : array) {
        const QJsonArray pair = item.toArray();
        result.append({pair.at(0).toString(), pair.at(1).toString()});
    }
    return result;
}

QString Simulator::headerOf(const QJsonObject& entry, const QString& name)
{
    for (const auto& pair : pairsOf(entry.value("headers"))) {
        if (pair.first.compare(name, Qt::CaseInsensitive) == 0)
            return pair.second;
    }
    return {};
}

QString Simulator::paramOf(const QJsonObject& entry, const QString& name)
{
    for (const auto& pair : pairsOf(entry.value("params"))) {
        if (pair.first == name)
            return pair.second;
    }
    return {};
}

} // namespace ZmTest
