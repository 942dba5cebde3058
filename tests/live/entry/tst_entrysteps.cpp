// Class-entry steps without outside services: the wiring step's owner, the request id and the whiteboard address.
#include "EntryTestSupport.h"

#include "app/UrlConfig.h"
#include "app/records/InitTaskParams.h"
#include "live/entry/EntryAddresses.h"
#include "live/entry/InitTask.h"
#include "live/entry/InitTaskFactory.h"
#include "live/entry/InitTaskTexts.h"
#include "live/entry/NormalClassEntryRoom.h"
#include "net/api/UrlSigner.h"
#include "ui/common/Translation.h"

#include "ZmTestMain.h"

#include <QRegularExpression>
#include <QUrlQuery>

#include <memory>

namespace {

} // namespace

class TestEntrySteps : public QObject
{
    Q_OBJECT

private:
    s_InitTask_Params* m_block = nullptr;

private slots:
    void init()
    {
        setUpEntryLesson();
        m_block = createInitTaskParams(InitCase_ClassEntry, nullptr, nullptr, nullptr, nullptr);
    }
    void cleanup() { freeInitTaskParams(m_block); }

    void wiringStepCallsTheNormalRoom()
    {
        FakeNormalRoom room;
        std::unique_ptr<InitTask> step(createInitTaskByType(NormalClass_InitUI, &room));
        QCOMPARE(step->runTaskSync(nullptr, 30), 1);
        QCOMPARE(room.wired, 1);

        QObject other;
        for (QObject* owner : {&other, static_cast<QObject*>(nullptr)}) {
            step.reset(createInitTaskByType(NormalClass_InitUI, owner));
            QCOMPARE(step->runTaskSync(nullptr, 30), -1);
        }
        QCOMPARE(room.wired, 1);
    }

    void requestIdLayout()
    {
        const QRegularExpression layout(QStringLiteral("^[0-9A-F]{8}[0-9A-F]{4}[0-9a-f]{4}[0-9A-F]{16}$"));
        const QString first = createGuidString();
        const QString second = createGuidString();
        QVERIFY2(layout.match(first).hasMatch(), qPrintable(first));
        QVERIFY2(layout.match(second).hasMatch(), qPrintable(second));
        QVERIFY(first != second);
        // The third group is the UUID's version group: its first digit is the version, 4.
        QCOMPARE(first.at(12), QLatin1Char('4'));
    }

    void whiteboardAddress_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::addColumn<QString>("path");
        QTest::newRow("pupil") << 1 << "/student/100234/880213/20240611093/1";
        QTest::newRow("teacher") << 2 << "/teacher/300451/880213/20240611093/1";
        QTest::newRow("auditor") << 3 << "/guest/100999/880213/20240611093/1";
    }
    void whiteboardAddress()
    {
        QFETCH(int, accountType);
        QFETCH(QString, path);
        setUpEntryLesson(accountType);
        UrlConfig::instance()->whiteboard = QStringLiteral("http://127.0.0.1:9/pages/whiteboard");

        const QString address = buildWhiteboardUrl();
        const QString base = UrlConfig::instance()->whiteboard + path + "?";
        QVERIFY2(address.startsWith(base), qPrintable(address));
        const QUrlQuery query(address.mid(base.size()));
        QCOMPARE(query.queryItemValue("mr"), QString("1"));
        // The signature covers the parameters in the page server's way.
        const QStringList values = path.mid(1).split('/');
        const ApiParamList params{{"identity", values.at(0)}, {"userId", values.at(1)}, {"lessonId", values.at(2)},
                                  {"periodId", values.at(3)}, {"partId", "1"},          {"mr", "1"}};
        QCOMPARE(address, UrlConfig::instance()->whiteboard + UrlSigner::signQuery(params, query.queryItemValue("t"),
                                                                                   query.queryItemValue("appversion")));
    }

    // Last: the translator stays installed for the rest of the process.
    void textsInChinese()
    {
        QCOMPARE(InitTaskTexts::runningText(Agora_CheckCamera), QString("connecting camera..."));
        QCOMPARE(InitTaskTexts::runningText(NormalClass_InitUI), QString());
        QVERIFY(Translation::installForLanguage(QStringLiteral("cn")));
        QCOMPARE(InitTaskTexts::runningText(Agora_CheckCamera), QString("正在连接摄像头..."));
        QCOMPARE(InitTaskTexts::failureText(WebSocket_Link), QString("连接失败。(WS)"));
        QCOMPARE(InitTaskTexts::hintText(API_EnterClass), QString("请检查您的网络，然后重试"));
    }
};

ZM_TEST_MAIN(TestEntrySteps)
#include "tst_entrysteps.moc"
