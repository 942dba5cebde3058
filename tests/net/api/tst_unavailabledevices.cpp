#include "net/api/DeviceNameChecks.h"
#include "net/api/UnavailableDevices.h"

#include "app/AppGlobalData.h"

#include "Simulator.h"
#include "ZmTestMain.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using ZmTest::Simulator;

namespace {

constexpr char kListPath[] = "/configs/public/device/unSupport/list";

} // namespace

class TestUnavailableDevices : public QObject
{
    Q_OBJECT

private:
    Simulator m_sim;

    QJsonArray listRequests() { return m_sim.requests(kListPath); }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        m_sim.pointUrlConfig();
        AppGlobalData* data = AppGlobalData::instance();
        data->launch.userId.clear(); // nobody signed in
        data->launch.token = "device-token";
        data->lesson.periodId = "7788";
    }

    // The process-wide lists behind the device checks: fetched on the first check, again after a failed fetch,
    // never after a successful one.
    void checksFetchTheListsOnce()
    {
        QVERIFY(m_sim.program(QJsonObject{
                    {"method", "GET"}, {"path", kListPath}, {"json", QJsonObject{{"TagCode", "1"}}}, {"times", 1}}) >
                0);
        QVERIFY(!DeviceNameChecks::IsNotRecommendWithDeviceName("OBS Virtual Camera"));
        QCOMPARE(listRequests().size(), 1);
        // Without a user id the request sends "-1".
        const auto params = Simulator::pairsOf(listRequests().at(0).toObject().value("params"));
        QVERIFY(params.contains(qMakePair(QString("userId"), QString("-1"))));
        QVERIFY(params.contains(qMakePair(QString("token"), QString("device-token"))));

        // The refusal left the cache unfilled: the next check fetches again and gets the sample lists.
        QVERIFY(DeviceNameChecks::IsNotRecommendWithDeviceName("OBS Virtual Camera"));
        QCOMPARE(listRequests().size(), 2);

        QVERIFY(DeviceNameChecks::IsNotRecommendAudioInWithDeviceName("Stereo Mix (Realtek(R) Audio)"));
        QVERIFY(!DeviceNameChecks::IsNotRecommendAudioOutWithDeviceName("Stereo Mix (Realtek(R) Audio)"));
        QVERIFY(DeviceNameChecks::IsNotRecommendAudioOutWithDeviceName("CABLE Input (VB-Audio Virtual Cable)"));
        QVERIFY(!DeviceNameChecks::IsNotRecommendWithDeviceName("HD Pro Webcam C920"));
        QVERIFY(DeviceNameChecks::IsNotRecommendWithDeviceName("xsplit vcam"));
        // The type the service sent as 7 reached no list.
        QVERIFY(!DeviceNameChecks::IsNotRecommendWithDeviceName("Unknown Gadget"));
        QVERIFY(getUnavailableDevicesCached(5).isEmpty());
        QVERIFY(getUnavailableDevicesCached(-1).isEmpty());
        QCOMPARE(getUnavailableDevicesCached(UnavailableDevice_Speaker), QStringList{"CABLE INPUT"});
        QCOMPARE(listRequests().size(), 2);
    }

    void readsTheListReply_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("cameras");
        QTest::addColumn<QStringList>("microphones");
        QTest::addColumn<QStringList>("speakers");

        QTest::newRow("parts upper-cased and trimmed; other types and empty keywords dropped")
            << QByteArray(R"([{"type":2,"keyword":" obs virtual camera, ,ManyCam Webcam "},)"
                          R"({"type":7,"keyword":"Gadget"},{"type":0,"keyword":""}])")
            << QStringList{"OBS VIRTUAL CAMERA", "MANYCAM WEBCAM"} << QStringList{} << QStringList{};
        QTest::newRow("each type to its list, in order, duplicates kept")
            << QByteArray(R"([{"type":0,"keyword":"Stereo Mix,Cable Output"},{"type":1,"keyword":"Cable Input"},)"
                          R"({"type":0,"keyword":"stereo mix"},{"type":2,"keyword":"VCam"}])")
            << QStringList{"VCAM"} << QStringList{"STEREO MIX", "CABLE OUTPUT", "STEREO MIX"}
            << QStringList{"CABLE INPUT"};
        QTest::newRow("no type reads as 0")
            << QByteArray(R"([{"keyword":"Mic A"}])") << QStringList{} << QStringList{"MIC A"} << QStringList{};
        QTest::newRow("type as text reads as 0") << QByteArray(R"([{"type":"2","keyword":"Cam B"}])") << QStringList{}
                                                 << QStringList{"CAM B"} << QStringList{};
        QTest::newRow("keyword of wrong type, elements that are no objects")
            << QByteArray(R"([{"type":2,"keyword":42},7,"x",null,{"type":1,"keyword":"Spk"}])") << QStringList{}
            << QStringList{} << QStringList{"SPK"};
        QTest::newRow("data is an object")
            << QByteArray(R"({"type":2,"keyword":"Cam"})") << QStringList{} << QStringList{} << QStringList{};
        QTest::newRow("empty list") << QByteArray("[]") << QStringList{} << QStringList{} << QStringList{};
    }

    void readsTheListReply()
    {
        QFETCH(QByteArray, data);
        QFETCH(QStringList, cameras);
        QFETCH(QStringList, microphones);
        QFETCH(QStringList, speakers);
        const QJsonDocument document = QJsonDocument::fromJson(data);
        const QJsonValue value = document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
        // Lists are appended to, never cleared.
        QStringList gotCameras{"EARLIER"}, gotMicrophones, gotSpeakers;
        appendUnavailableDevices(value, gotCameras, gotMicrophones, gotSpeakers);
        QCOMPARE(gotCameras, QStringList{"EARLIER"} + cameras);
        QCOMPARE(gotMicrophones, microphones);
        QCOMPARE(gotSpeakers, speakers);
    }

    void cacheFetchesUntilOneFetchSucceeds()
    {
        int calls = 0;
        int result = -1;
        UnavailableDeviceCache cache([&](QStringList& cameras, QStringList& microphones, QStringList& speakers) {
            ++calls;
            if (result == 0) {
                cameras << "CAM";
                microphones << "MIC";
                speakers << "SPK";
            }
            return result;
        });
        QVERIFY(!cache.isDone());
        QVERIFY(cache.list(UnavailableDevice_Camera).isEmpty());
        QCOMPARE(calls, 1);
        // A failed fetch is tried again at the next call.
        result = -2;
        QVERIFY(cache.list(-1).isEmpty());
        QCOMPARE(calls, 2);
        QVERIFY(!cache.isDone());

        result = 0;
        QCOMPARE(cache.list(UnavailableDevice_Microphone), QStringList{"MIC"});
        QCOMPARE(calls, 3);
        QVERIFY(cache.isDone());
        // Done: no more fetches, whatever type is asked for.
        result = -1;
        QCOMPARE(cache.list(UnavailableDevice_Speaker), QStringList{"SPK"});
        QCOMPARE(cache.list(UnavailableDevice_Camera), QStringList{"CAM"});
        QVERIFY(cache.list(5).isEmpty());
        QVERIFY(cache.list(-1).isEmpty());
        QCOMPARE(calls, 3);
    }

    void unknownTypeGivesTheEmptyListAfterOneFetch()
    {
        int calls = 0;
        UnavailableDeviceCache cache([&](QStringList& cameras, QStringList&, QStringList&) {
            ++calls;
            cameras << "CAM";
            return 0;
        });
        QVERIFY(cache.list(5).isEmpty());
        QCOMPARE(calls, 1);
        QVERIFY(cache.isDone());
    }

    void matchesNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<bool>("matches");
        const QStringList list{"OBS VIRTUAL CAMERA", "STEREO MIX"};
        QTest::newRow("same name, other case") << "obs Virtual Camera" << list << true;
        QTest::newRow("name contains an entry") << "Stereo Mix (Realtek(R) Audio)" << list << true;
        QTest::newRow("entry longer than the name") << "OBS" << list << false;
        QTest::newRow("unrelated device") << "HD Pro Webcam C920" << list << false;
        QTest::newRow("empty name") << "" << list << false;
        QTest::newRow("empty list") << "Stereo Mix" << QStringList{} << false;
        QTest::newRow("empty entry matches nothing") << "Any Mic" << QStringList{""} << false;
        QTest::newRow("non-ASCII names") << QString::fromUtf8("立体声混音 (Realtek)")
                                         << QStringList{QString::fromUtf8("立体声混音")} << true;
    }

    void matchesNames()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, entries);
        QFETCH(bool, matches);
        QCOMPARE(DeviceNameChecks::nameMatchesList(name, entries), matches);
    }
};

ZM_TEST_MAIN_CORE(TestUnavailableDevices)
#include "tst_unavailabledevices.moc"
