// The whiteboard page's message protocol without a browser: what each page message decodes to (the keys in
// their order, the members each reads and how missing or mistyped ones read), and the exact passMessage script
// of a program-to-page message.
#include "ZmTestMain.h"

#include "web/whiteboard/WhiteboardMessages.h"

Q_DECLARE_METATYPE(PageMessageKind)

class TestWhiteboardMessages : public QObject
{
    Q_OBJECT

private slots:
    void decodesPageMessages_data();
    void decodesPageMessages();
    void buildsPassMessageScripts_data();
    void buildsPassMessageScripts();
};

void TestWhiteboardMessages::decodesPageMessages_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<PageMessageKind>("kind");
    QTest::addColumn<QString>("key");
    QTest::addColumn<quint32>("userId");
    QTest::addColumn<QString>("domId"); // domId, or "level|log" for log messages
    QTest::addColumn<int>("number");    // video profile size, or 1/0 for video playing

    using K = PageMessageKind;
    QTest::newRow("showed") << R"({"key":"msg-w2n-ppapi-showed","userId":"5","domId":"v5"})" << K::PpApiShowed
                            << "msg-w2n-ppapi-showed" << 5u << "v5" << 0;
    QTest::newRow("hidden") << R"({"key":"msg-w2n-ppapi-hidden","userId":"1234567","domId":"zmvideo_1"})"
                            << K::PpApiHidden << "msg-w2n-ppapi-hidden" << 1234567u << "zmvideo_1" << 0;
    QTest::newRow("user id as a number reads 0") << R"({"key":"msg-w2n-ppapi-showed","userId":5,"domId":"v"})"
                                                 << K::PpApiShowed << "msg-w2n-ppapi-showed" << 0u << "v" << 0;
    QTest::newRow("user id not a number") << R"({"key":"msg-w2n-ppapi-showed","userId":"5a"})" << K::PpApiShowed
                                          << "msg-w2n-ppapi-showed" << 0u << "" << 0;
    QTest::newRow("user id above int") << R"({"key":"msg-w2n-ppapi-showed","userId":"2147483648"})" << K::PpApiShowed
                                       << "msg-w2n-ppapi-showed" << 0u << "" << 0;
    QTest::newRow("largest int user id") << R"({"key":"msg-w2n-ppapi-showed","userId":"2147483647"})" << K::PpApiShowed
                                         << "msg-w2n-ppapi-showed" << 2147483647u << "" << 0;
    QTest::newRow("negative user id passes as unsigned")
        << R"({"key":"msg-w2n-ppapi-hidden","userId":"-5"})" << K::PpApiHidden << "msg-w2n-ppapi-hidden" << 4294967291u
        << "" << 0;
    QTest::newRow("members missing") << R"({"key":"msg-w2n-ppapi-showed"})" << K::PpApiShowed << "msg-w2n-ppapi-showed"
                                     << 0u << "" << 0;
    QTest::newRow("dom id not a string") << R"({"key":"msg-w2n-btn-clicked","domId":7})" << K::ButtonClicked
                                         << "msg-w2n-btn-clicked" << 0u << "" << 0;
    QTest::newRow("button") << R"({"key":"msg-w2n-btn-clicked","domId":"reset"})" << K::ButtonClicked
                            << "msg-w2n-btn-clicked" << 0u << "reset" << 0;
    QTest::newRow("log") << R"({"key":"msg-w2n-log","level":"warn","log":"slow network"})" << K::Log << "msg-w2n-log"
                         << 0u << "warn|slow network" << 0;
    QTest::newRow("mic open") << R"({"key":"msg-w2n-device-mic-open"})" << K::MicOpen << "msg-w2n-device-mic-open" << 0u
                              << "" << 0;
    QTest::newRow("mic close") << R"({"key":"msg-w2n-device-mic-close"})" << K::MicClose << "msg-w2n-device-mic-close"
                               << 0u << "" << 0;
    QTest::newRow("close response") << R"({"key":"msg-w2n-close-window-response"})" << K::CloseWindowResponse
                                    << "msg-w2n-close-window-response" << 0u << "" << 0;
    QTest::newRow("close") << R"({"key":"msg-w2n-close-window"})" << K::CloseWindow << "msg-w2n-close-window" << 0u
                           << "" << 0;
    QTest::newRow("env") << R"({"key":"msg-w2n-request-env"})" << K::EnvRequest << "msg-w2n-request-env" << 0u << ""
                         << 0;
    QTest::newRow("video profile") << R"({"key":"msg-w2n-set-video-profile","size":240})" << K::SetVideoProfile
                                   << "msg-w2n-set-video-profile" << 0u << "" << 240;
    QTest::newRow("video profile size as text reads 0")
        << R"({"key":"msg-w2n-set-video-profile","size":"2"})" << K::SetVideoProfile << "msg-w2n-set-video-profile"
        << 0u << "" << 0;
    QTest::newRow("video profile size not whole") << R"({"key":"msg-w2n-set-video-profile","size":2.5})"
                                                  << K::SetVideoProfile << "msg-w2n-set-video-profile" << 0u << "" << 0;
    QTest::newRow("key compared case-sensitively")
        << R"({"key":"MSG-W2N-LOG","log":"x"})" << K::Unknown << "MSG-W2N-LOG" << 0u << "" << 0;
    QTest::newRow("key compared whole") << R"({"key":"msg-w2n-close-window-responses"})" << K::Unknown
                                        << "msg-w2n-close-window-responses" << 0u << "" << 0;
    QTest::newRow("key not a string") << R"({"key":12})" << K::Unknown << "" << 0u << "" << 0;
    QTest::newRow("video play") << R"({"WPVideo":"Play"})" << K::VideoPlaying << "" << 0u << "" << 1;
    QTest::newRow("video play in lower case stops")
        << R"({"WPVideo":"play"})" << K::VideoPlaying << "" << 0u << "" << 0;
    QTest::newRow("video report wins over key")
        << R"({"key":"msg-w2n-close-window","WPVideo":"Play"})" << K::VideoPlaying << "" << 0u << "" << 1;
    QTest::newRow("no key") << R"({"domId":"reset"})" << K::Ignored << "" << 0u << "" << 0;
    QTest::newRow("not JSON") << "passMessage" << K::Ignored << "" << 0u << "" << 0;
    QTest::newRow("array") << R"([{"key":"msg-w2n-close-window"}])" << K::Ignored << "" << 0u << "" << 0;
    QTest::newRow("empty") << "" << K::Ignored << "" << 0u << "" << 0;
    // Read as UTF-8: characters of every range arrive as they were written.
    QTest::newRow("latin-1 range text") << QString::fromUtf8(R"({"key":"msg-w2n-btn-clicked","domId":"café"})")
                                        << K::ButtonClicked << "msg-w2n-btn-clicked" << 0u << QString::fromUtf8("café")
                                        << 0;
    QTest::newRow("text beyond latin-1") << QString::fromUtf8(R"({"key":"msg-w2n-log","level":"课","log":"白板"})")
                                         << K::Log << "msg-w2n-log" << 0u << QString::fromUtf8("课|白板") << 0;
}

void TestWhiteboardMessages::decodesPageMessages()
{
    QFETCH(QString, text);
    QFETCH(PageMessageKind, kind);
    QFETCH(QString, key);
    QFETCH(quint32, userId);
    QFETCH(QString, domId);
    QFETCH(int, number);

    const PageMessage message = readPageMessage(text);
    QCOMPARE(message.kind, kind);
    QCOMPARE(message.key, key);
    QCOMPARE(message.userId, userId);
    if (kind == PageMessageKind::Log)
        QCOMPARE(message.logLevel + QLatin1Char('|') + message.logText, domId);
    else
        QCOMPARE(message.domId, domId);
    if (kind == PageMessageKind::VideoPlaying)
        QCOMPARE(int(message.videoPlaying), number);
    else
        QCOMPARE(message.videoProfileSize, number);
}

void TestWhiteboardMessages::buildsPassMessageScripts_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<quint32>("userId");
    QTest::addColumn<QStringList>("extra"); // name, value, name, value, ...
    QTest::addColumn<QString>("script");

    QTest::newRow("online") << "msg-n2w-user-video-online" << 100234u << QStringList()
                            << R"(passMessage({"key":"msg-n2w-user-video-online","userId":"100234"}))";
    QTest::newRow("volume") << "msg-n2w-user-volume-changed" << 1234u << QStringList{"volume", "57"}
                            << R"(passMessage({"key":"msg-n2w-user-volume-changed","userId":"1234","volume":"57"}))";
    QTest::newRow("largest user id") << "msg-n2w-user-video-offline" << 4294967295u << QStringList()
                                     << R"(passMessage({"key":"msg-n2w-user-video-offline","userId":"4294967295"}))";
    QTest::newRow("members in ascending key order")
        << "msg-n2w-post-env" << 7u
        << QStringList{"systemVersion", "Debian 12", "appVersion", "1.5.7.1", "deviceUid", "52-54-00-12-34-56"}
        << R"(passMessage({"appVersion":"1.5.7.1","deviceUid":"52-54-00-12-34-56","key":"msg-n2w-post-env",)"
           R"("systemVersion":"Debian 12","userId":"7"}))";
    QTest::newRow("extra key and user id replace the first ones")
        << "msg-n2w-post-rtc-stats" << 7u << QStringList{"userId", "8", "key", "other", "cpuAppUsage", "3"}
        << R"(passMessage({"cpuAppUsage":"3","key":"other","userId":"8"}))";
    QTest::newRow("quotes, backslashes and UTF-8 kept as JSON text")
        << "msg-n2w-post-env" << 1u << QStringList{"systemVersion", QString::fromUtf8("\"x\"\\ 版本")}
        << QString::fromUtf8(R"(passMessage({"key":"msg-n2w-post-env","systemVersion":"\"x\"\\ 版本","userId":"1"}))");
}

void TestWhiteboardMessages::buildsPassMessageScripts()
{
    QFETCH(QString, key);
    QFETCH(quint32, userId);
    QFETCH(QStringList, extra);
    QFETCH(QString, script);

    QMap<QString, QString> members;
    for (int i = 0; i + 1 < extra.size(); i += 2)
        members.insert(extra.at(i), extra.at(i + 1));
    QCOMPARE(passMessageScript(key, userId, members), script);
}

ZM_TEST_MAIN_CORE(TestWhiteboardMessages)
#include "tst_whiteboardmessages.moc"
