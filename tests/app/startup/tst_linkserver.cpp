// Links handed from a later start to the running copy: delivered as file-open events, anything else refused.
#include "app/AppLinks.h"
#include "app/startup/LinkServer.h"

#include "LogCapture.h"
#include "WaitUntil.h"
#include "ZmTestMain.h"

#include <QFileOpenEvent>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>

#include <atomic>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Records the URLs of the file-open events the application receives.
class FileOpenRecorder : public QObject
{
public:
    FileOpenRecorder() { QCoreApplication::instance()->installEventFilter(this); }
    ~FileOpenRecorder() override { QCoreApplication::instance()->removeEventFilter(this); }

    QList<QUrl> urls;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FileOpen)
            urls.append(static_cast<QFileOpenEvent*>(event)->url());
        return QObject::eventFilter(watched, event);
    }
};

// Runs the blocking hand-over on a thread of its own while the test's event loop serves the socket.
bool forwardWhileServing(const QString& path, const QString& link, int timeoutMs)
{
    std::atomic<bool> done{false};
    bool result = false;
    std::thread client([&] {
        result = forwardLinkToRunningCopy(path, link, timeoutMs);
        done = true;
    });
    ZmTest::waitUntil([&done] { return done.load(); }, timeoutMs + ZmTest::kWaitMs);
    client.join();
    return result;
}

// Runs a Python script as the user "nobody"; the arguments follow the script.
void startAsOtherUser(QProcess& process, const char* script, const QStringList& arguments)
{
    process.start("setpriv", QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", "/usr/bin/python3", "-c",
                                         QString::fromLatin1(script)} +
                                 arguments);
}

// Listens at argv[1], takes one connection and prints what it received.
constexpr char kForeignListener[] = "import socket, sys\n"
                                    "s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)\n"
                                    "s.bind(sys.argv[1])\n"
                                    "s.listen(1)\n"
                                    "print('listening', flush=True)\n"
                                    "s.settimeout(10)\n"
                                    "c, _ = s.accept()\n"
                                    "c.settimeout(3)\n"
                                    "data = b''\n"
                                    "try:\n"
                                    "    while True:\n"
                                    "        chunk = c.recv(65536)\n"
                                    "        if not chunk:\n"
                                    "            break\n"
                                    "        data += chunk\n"
                                    "except OSError:\n"
                                    "    pass\n"
                                    "print('received', repr(data), flush=True)\n";

// Connects to argv[1], sends argv[2] as a line and prints the answer.
constexpr char kForeignClient[] = "import socket, sys\n"
                                  "data = b''\n"
                                  "try:\n"
                                  "    c = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)\n"
                                  "    c.settimeout(5)\n"
                                  "    c.connect(sys.argv[1])\n"
                                  "    c.sendall(sys.argv[2].encode() + b'\\n')\n"
                                  "    while True:\n"
                                  "        chunk = c.recv(100)\n"
                                  "        if not chunk:\n"
                                  "            break\n"
                                  "        data += chunk\n"
                                  "except OSError as error:\n"
                                  "    print('error', error, flush=True)\n"
                                  "print('answer', repr(data), flush=True)\n";

} // namespace

class TestLinkServer : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString socketPath(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private slots:
    void isAppLink_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("link");
        QTest::newRow("link") << "zmquillo://join?--uid%3D7" << true;
        QTest::newRow("scheme in capitals") << "ZmQuillo:join" << true;
        QTest::newRow("leading blank") << " zmquillo:x" << true;
        QTest::newRow("other scheme") << "https://zmquillo.example/" << false;
        QTest::newRow("option") << "--uid=7" << false;
        QTest::newRow("scheme without colon") << "zmquillo" << false;
    }

    void isAppLink()
    {
        QFETCH(QString, text);
        QTEST(::isAppLink(text), "link");
    }

    void appLinkArgument()
    {
        const char* withLink[] = {"zmquillo:program-path", "--uid=7", "zmquillo://join?--uid%3D7/", "zmquillo:second"};
        QCOMPARE(::appLinkArgument(4, withLink), QString("zmquillo://join?--uid%3D7"));
        const char* withoutLink[] = {"/opt/prog", "--uid=7"};
        QCOMPARE(::appLinkArgument(2, withoutLink), QString());
    }

    void linkArrivesAsFileOpenEvent()
    {
        FileOpenRecorder recorder;
        LinkServer server;
        QVERIFY(server.listen(socketPath("links1")));

        const QString link = "zmquillo://join?--apptype%3Djoinclass%20--lessonname%3Da%2520b";
        QVERIFY(forwardWhileServing(socketPath("links1"), link, ZmTest::kWaitMs));
        QTRY_COMPARE(recorder.urls.size(), 1);
        // The event's URL keeps the link's encoding, so the receiver decodes it exactly once.
        QCOMPARE(recorder.urls.at(0).toString(QUrl::FullyEncoded), link);
    }

    // The log names the link with its token masked, however the token option is encoded.
    void linkIsLoggedWithoutItsToken()
    {
        FileOpenRecorder recorder;
        LinkServer server;
        QVERIFY(server.listen(socketPath("links5")));
        ZmTest::LogCapture capture;
        const QString link = "zmquillo://join?--uid%3D7%20--%2574oken%253Ds3cr3t%20--lessonid%3D88";
        QVERIFY(forwardWhileServing(socketPath("links5"), link, ZmTest::kWaitMs));
        QTRY_COMPARE(recorder.urls.size(), 1);
        QVERIFY2(capture.text().contains("zmquillo://join?--uid%3D7%20--%2574oken%253D***%20--lessonid%3D88"),
                 qPrintable(capture.text()));
        QVERIFY(!capture.text().contains("s3cr3t"));
    }

    void otherTextIsRefused()
    {
        FileOpenRecorder recorder;
        LinkServer server;
        QVERIFY(server.listen(socketPath("links2")));
        QVERIFY(!forwardWhileServing(socketPath("links2"), "https://elsewhere.example/?--uid=1", ZmTest::kWaitMs));
        QVERIFY(
            !forwardWhileServing(socketPath("links2"), QString(LinkServer::kMaxLinkBytes + 10, 'z'), ZmTest::kWaitMs));
        ZmTest::letTimersFire(50);
        QVERIFY(recorder.urls.isEmpty());
    }

    // A socket file left behind by a copy that ended without cleaning up does not stop the next one.
    void staleSocketFileIsReplaced()
    {
        const QString path = socketPath("links3");
        {
            QFile stale(path);
            QVERIFY(stale.open(QIODevice::WriteOnly));
        }
        LinkServer server;
        QVERIFY(server.listen(path));
        FileOpenRecorder recorder;
        QVERIFY(forwardWhileServing(path, "zmquillo:x", ZmTest::kWaitMs));
        QTRY_COMPARE(recorder.urls.size(), 1);
    }

    // A socket of another user at the link path never gets the link, one-time token included.
    void listenerOfAnotherUserGetsNoLink()
    {
        if (::geteuid() != 0)
            QSKIP("acting as another user needs root");
        QTemporaryDir shared;
        QVERIFY(::chmod(QFile::encodeName(shared.path()), 0777) == 0);
        const QString path = shared.filePath("links6");
        QProcess listener;
        startAsOtherUser(listener, kForeignListener, {path});
        QVERIFY2(ZmTest::waitUntil([&] { return listener.canReadLine(); }, ZmTest::kStartWaitMs),
                 listener.readAllStandardError().constData());
        QCOMPARE(listener.readLine(), QByteArray("listening\n"));

        ZmTest::LogCapture capture;
        QVERIFY(!forwardLinkToRunningCopy(path, "zmquillo://join?--token%3Ds3cr3t", 3000));
        QVERIFY(listener.waitForFinished(ZmTest::kWaitMs));
        QCOMPARE(listener.readAll(), QByteArray("received b''\n"));
        QVERIFY2(capture.text().contains("another user"), qPrintable(capture.text()));
    }

    // A connection from another user's process is refused without an answer and delivers nothing.
    void clientOfAnotherUserIsRefused()
    {
        if (::geteuid() != 0)
            QSKIP("acting as another user needs root");
        QTemporaryDir shared;
        QVERIFY(::chmod(QFile::encodeName(shared.path()), 0755) == 0);
        const QString path = shared.filePath("links7");
        FileOpenRecorder recorder;
        LinkServer server;
        QVERIFY(server.listen(path));
        // Opened up as a careless set-up might leave it, so that only the credentials keep the stranger out.
        QVERIFY(::chmod(QFile::encodeName(path), 0777) == 0);

        ZmTest::LogCapture capture;
        QProcess client;
        startAsOtherUser(client, kForeignClient, {path, "zmquillo://join?--uid%3D7"});
        QVERIFY(ZmTest::waitUntil([&] { return client.state() == QProcess::NotRunning; }, ZmTest::kWaitMs));
        const QByteArray output = client.readAll();
        QVERIFY2(output.endsWith("answer b''\n"), output.constData());
        QCoreApplication::sendPostedEvents();
        QVERIFY(recorder.urls.isEmpty());
        QVERIFY2(capture.text().contains("another user"), qPrintable(capture.text()));

        // This user's own copies still get through.
        QVERIFY(forwardWhileServing(path, "zmquillo:x", ZmTest::kWaitMs));
        QTRY_COMPARE(recorder.urls.size(), 1);
    }

    // Without a running copy the hand-over gives up (instead of waiting for one to appear).
    void noRunningCopyGivesUp() { QVERIFY(!forwardWhileServing(socketPath("nobody"), "zmquillo:x", 600)); }

    // A client that connects and never finishes its line is dropped, and later links still arrive.
    void silentClientIsDropped()
    {
        LinkServer server;
        QVERIFY(server.listen(socketPath("links4")));
        QLocalSocket silent;
        silent.connectToServer(socketPath("links4"));
        QVERIFY(silent.waitForConnected(ZmTest::kWaitMs));
        silent.write("zmquillo:no-newline");
        silent.flush();
        QTRY_COMPARE(silent.state(), QLocalSocket::UnconnectedState);

        FileOpenRecorder recorder;
        QVERIFY(forwardWhileServing(socketPath("links4"), "zmquillo:after", ZmTest::kWaitMs));
        QTRY_COMPARE(recorder.urls.size(), 1);
    }
};

ZM_TEST_MAIN_CORE(TestLinkServer)
#include "tst_linkserver.moc"
