#pragma once

#include "WaitUntil.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QPair>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

class UrlConfig;

namespace ZmTest {

// One running class service simulator (tests/sim/simulator.py) for the life of the object: started by start(),
// stopped by stop() or the destructor. The control helpers talk to its /_control/ API and return empty results
// (and log a warning) when it does not answer.
class Simulator
{
public:
    // A programmed reply; see tests/sim/README.md for what each field does.
    struct Route
    {
        enum class Action
        {
            Reply, // answer with status, headers and body
            Close, // close the connection without answering
            Stall, // never answer
            Raw,   // write the raw bytes as they are, then close
        };

        QString method = QStringLiteral("*");
        QString path;
        bool prefix = false;
        QMap<QString, QString> params; // only requests whose decoded parameters hold these pairs
        Action action = Action::Reply;
        int status = 200;
        QList<QPair<QString, QString>> headers;
        QByteArray body;
        int repeat = 1; // the body is sent this many times over
        int delayMs = 0;
        QString hold;  // waits (after delayMs) until the hold of this name is released
        int times = 0; // 0: always
        QByteArray raw;

        QJsonObject toJson() const;
    };

    explicit Simulator(const QStringList& extraArguments = {});
    ~Simulator();

    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Starts the program and reads its address from the first line; false with errorString() (which quotes what
    // the program wrote to its error output) on failure. What it writes there later passes on to this one's.
    bool start(int timeoutMs = kStartWaitMs);
    // Closes its standard input, which ends it cleanly; terminates it when it does not end in time.
    // True when it ended by itself with exit code 0.
    bool stop();
    bool isRunning() const;
    QString errorString() const { return m_error; }

    // The simulator's address, "http://127.0.0.1:<port>", the base that every service address of a test uses.
    // Tests point the URL configuration (api, RESTful, report, download hosts) at it.
    QString baseUrl() const { return m_baseUrl; }
    QString url(const QString& path) const { return m_baseUrl + path; }
    quint16 port() const { return m_port; }

    // Points every address of the URL configuration at the simulator: the API and RESTful bases (alternates
    // cleared), the report server, the download test file, the web pages and the class message server. Roles the
    // simulator does not serve yet answer 404 there, so nothing a test starts leaves the machine.
    void pointUrlConfig(UrlConfig& config) const;
    void pointUrlConfig() const; // the process-wide configuration

    // One control request; the parsed JSON reply (null document when there was no whole reply).
    QJsonDocument control(const QByteArray& method, const QString& target, const QByteArray& body = {},
                          int* status = nullptr);

    int program(const Route& route);       // the route id, -1 on failure
    int program(const QJsonObject& route); // the same, from the JSON shape
    bool clearRoutes();
    bool clearRequests();
    bool reset(); // request log, routes and uploaded files
    QJsonArray requests(const QString& pathPrefix = {});
    // The logged numbered calls (under /quillo/entrance) with this FuncTag, oldest first.
    QJsonArray numberedRequests(const QString& funcTag);
    // Polls (running the event loop) until at least count requests under pathPrefix were logged, or the time-out;
    // returns what there is then.
    QJsonArray waitForRequests(int count, const QString& pathPrefix = {}, int timeoutMs = kWaitMs);
    // Named holds (see tests/sim/README.md): replies that wait until the test releases them. A released hold lets
    // every later wait through until clearHolds(), which also releases whatever still waits.
    bool releaseHold(const QString& name);
    bool clearHolds();
    // How many replies wait on the hold now; -1 when the simulator does not answer.
    int heldBy(const QString& name);
    // Polls (running the event loop) until at least count replies wait on the hold; false after the time-out.
    bool waitForHeld(const QString& name, int count = 1, int timeoutMs = kWaitMs);
    // Serves data under /files/<relativePath>; returns the file's address, empty on failure.
    QString putFile(const QString& relativePath, const QByteArray& data);

    // The object-storage role (see tests/sim/README.md).
    QJsonArray ossObjects(); // [{"bucket", "key", "size", "content_type", "addressing", "md5", "crc64"}, ...]
    // The stored object's bytes; found (when given) tells an empty object from a missing one.
    QByteArray ossObject(const QString& bucket, const QString& key, bool* found = nullptr);
    // The next times puts get this XML error reply (after their request was checked and logged).
    bool queueOssError(int status, const QString& code, const QString& message, int times = 1);
    // Accepts another access key with its secret and security token.
    bool addOssCredentials(const QString& accessKeyId, const QString& accessKeySecret, const QString& securityToken);
    // The credentials the role accepts from the start (tests/sim/fixtures/oss/credentials.json).
    static QString ossAccessKeyId() { return QStringLiteral("SIM-ACCESS-KEY-ID"); }
    static QString ossAccessKeySecret() { return QStringLiteral("sim-access-key-secret"); }
    static QString ossSecurityToken() { return QStringLiteral("sim-security-token"); }

    // The class message server role (see tests/sim/README.md). Waits poll, running the event loop, so that a
    // client in this process keeps working while a test waits.
    QString messageServerUrl() const; // ws://127.0.0.1:<port>/ws
    // Frames the server received ({"seq", "time", "connection", "kind", "text", "json", ...}), oldest first; kind
    // "text", "binary", "ping", "pong" or "close" (empty: all).
    QJsonArray messageFrames(const QString& kind = {}, int sinceSeq = 0);
    QJsonArray waitForMessageFrames(int count, const QString& kind = {}, int timeoutMs = kWaitMs, int sinceSeq = 0);
    // Connections, oldest first ({"id", "state", "fault", "opened", "closed", "client_close_code", ...}); state
    // "connecting", "open", "closed", "refused" or "stalled" (empty: all).
    QJsonArray messageConnections(const QString& state = {});
    QJsonArray waitForMessageConnections(int count, const QString& state = {}, int timeoutMs = kWaitMs);
    // Sends a message ({"text"}, {"json"}, {"binary_base64"} or {"binary_text"}) to every open connection; the
    // number of connections it reached, -1 on failure.
    int pushMessage(const QJsonObject& message);
    // The next connections meet these faults ({"mode": "refuse" | "stall" | "no_pong" | "close", "times", ...}).
    bool queueMessageFault(const QJsonObject& fault);
    // Closes every open connection from the server side with this code; how many, -1 on failure.
    int closeMessageConnections(int code = 1001);
    bool loadMessageScenario(const QJsonObject& scenario);

    // Helpers for log entries.
    static QByteArray bodyOf(const QJsonObject& entry);
    static QList<QPair<QString, QString>> pairsOf(const QJsonValue& pairs); // [[name, value], ...]
    static QString headerOf(const QJsonObject& entry, const QString& name); // first of that name, any case
    static QString paramOf(const QJsonObject& entry, const QString& name);  // first decoded parameter of that name

    static QString programPath(); // /usr/bin/python3
    static QString scriptPath();  // <source>/tests/sim/simulator.py

private:
    // fetch() once it returns at least count entries, or what it returns after timeoutMs; polls, running the
    // event loop in between.
    static QJsonArray pollFor(int count, int timeoutMs, const std::function<QJsonArray()>& fetch);
    // One control request that must be answered 200.
    bool controlOk(const QByteArray& method, const QString& target, const QByteArray& body = {});

    // Passes on what the program wrote to its error output, keeping the last of it for errorString().
    void forwardErrorOutput();

    QStringList m_extraArguments;
    QProcess m_process;
    QByteArray m_errorOutput;
    QString m_baseUrl;
    quint16 m_port = 0;
    QString m_error;
};

} // namespace ZmTest
