#include "net/DeviceNameChecks.h"
#include "net/UnavailableDevices.h"

#include "ZmTestMain.h"

#include <QJsonDocument>

class TestUnavailableDevices : public QObject
{
    Q_OBJECT

private slots:
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
