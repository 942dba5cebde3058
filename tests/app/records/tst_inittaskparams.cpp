// The class-entry parameter block: which block is current as blocks are made and freed, and extend parameters.
#include "app/records/InitTaskParams.h"

#include "ZmTestMain.h"

class TestInitTaskParams : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(!getInitTaskParams()); }

    void newestLiveBlockIsCurrent()
    {
        QVERIFY(!getInitTaskParams());
        int audioSlot = 0;
        s_InitTask_Params* entry = createInitTaskParams(InitCase_ClassEntry, nullptr, nullptr, nullptr, nullptr);
        QCOMPARE(getInitTaskParams(), entry);
        QCOMPARE(entry->forCase_, int(InitCase_ClassEntry));
        QVERIFY(!entry->stop_);
        QCOMPARE(entry->lastResult_, 0);

        // A block made while the entry's is current (the guest's whiteboard load) is current until freed, then
        // the entry's block is current again.
        s_InitTask_Params* guest = createInitTaskParams(
            InitCase_GuestWhiteboard, nullptr, reinterpret_cast<AgoraAudioDevice**>(&audioSlot), nullptr, nullptr);
        QCOMPARE(getInitTaskParams(), guest);
        QCOMPARE(guest->audioDevice_, reinterpret_cast<AgoraAudioDevice**>(&audioSlot));
        freeInitTaskParams(guest);
        QVERIFY(!guest);
        QCOMPARE(getInitTaskParams(), entry);

        // Freed out of order: the newest block still alive is current.
        s_InitTask_Params* second = createInitTaskParams(InitCase_Reset, nullptr, nullptr, nullptr, nullptr);
        freeInitTaskParams(entry);
        QCOMPARE(getInitTaskParams(), second);
        freeInitTaskParams(second);
        QVERIFY(!getInitTaskParams());

        s_InitTask_Params* none = nullptr;
        freeInitTaskParams(none);
        QVERIFY(!getInitTaskParams());
    }

    void extendParams()
    {
        s_InitTask_Params* block = createInitTaskParams(InitCase_ClassEntry, nullptr, nullptr, nullptr, nullptr);
        block->extendParams_.insert(EXTEND_PARAM_AgoraEngine_ChannelMode, 1);
        block->extendParams_.insert(EXTEND_PARAM_WhiteBoard_BtnRefresh_SetVisbale, false);
        QVariant value;
        QVERIFY(block->getExtendParam(EXTEND_PARAM_AgoraEngine_ChannelMode, &value));
        QCOMPARE(value.toInt(), 1);
        QVERIFY(block->getExtendParam(EXTEND_PARAM_WhiteBoard_BtnRefresh_SetVisbale, nullptr));
        value = QStringLiteral("untouched");
        QVERIFY(!block->getExtendParam(EXTEND_PARAM_WhiteBoard_URL, &value));
        QCOMPARE(value.toString(), QStringLiteral("untouched"));
        freeInitTaskParams(block);
    }
};

ZM_TEST_MAIN_CORE(TestInitTaskParams)
#include "tst_inittaskparams.moc"
