// Links handed from a later start to the running copy: delivered as file-open events, anything else refused.
#include "app/AppLinks.h"
#include "app/startup/LinkServer.h"

#include "ZmTestMain.h"

#include <QFileOpenEvent>
#include <QLocalSocket>
#include <QTemporaryDir>

#include <atomic>
#include <thread>

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
    QElapsedTimer waited;
    waited.start();
    while (!done.load() && waited.elapsed() < timeoutMs + 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    client.join();
    return result;
}

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
        QVERIFY(forwardWhileServing(socketPath("links1"), link, 5000));
        QTRY_COMPARE(recorder.urls.size(), 1);
        // The event's URL keeps the link's encoding, so the receiver decodes it exactly once.
        QCOMPARE(recorder.urls.at(0).toString(QUrl::FullyEncoded), link);
    }

    void otherTextIsRefused()
    {
        FileOpenRecorder recorder;
        LinkServer server;
        QVERIFY(server.listen(socketPath("links2")));
        QVERIFY(!forwardWhileServing(socketPath("links2"), "https://elsewhere.example/?--uid=1", 5000));
        QVERIFY(!forwardWhileServing(socketPath("links2"), QString(LinkServer::kMaxLinkBytes + 10, 'z'), 5000));
        QTest::qWait(50);
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
        QVERIFY(forwardWhileServing(path, "zmquillo:x", 5000));
        QTRY_COMPARE(recorder.urls.size(), 1);
    }

    void noRunningCopyEndsInTime()
    {
        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(!forwardLinkToRunningCopy(socketPath("nobody"), "zmquillo:x", 600));
        QVERIFY(elapsed.elapsed() < 5000);
    }

    // A client that connects and never finishes its line is dropped, and later links still arrive.
    void silentClientIsDropped()
    {
        LinkServer server;
        QVERIFY(server.listen(socketPath("links4")));
        QLocalSocket silent;
        silent.connectToServer(socketPath("links4"));
        QVERIFY(silent.waitForConnected(2000));
        silent.write("zmquillo:no-newline");
        silent.flush();
        QTRY_COMPARE_WITH_TIMEOUT(silent.state(), QLocalSocket::UnconnectedState, 10000);

        FileOpenRecorder recorder;
        QVERIFY(forwardWhileServing(socketPath("links4"), "zmquillo:after", 5000));
        QTRY_COMPARE(recorder.urls.size(), 1);
    }
};

ZM_TEST_MAIN_CORE(TestLinkServer)
#include "tst_linkserver.moc"
