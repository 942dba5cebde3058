#include "platform/WindowSystem.h"

#include "ZmTestMain.h"

class TestWindowSystem : public QObject
{
    Q_OBJECT

private slots:
    void choosesX11WhenThereIsADisplay_data()
    {
        QTest::addColumn<QByteArray>("qpaPlatform");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("chosen");
        QTest::newRow("X display, also in a Wayland session") << QByteArray() << QByteArray(":0") << QByteArray("xcb");
        QTest::newRow("set by the user") << QByteArray("wayland") << QByteArray(":0") << QByteArray();
        QTest::newRow("no X display") << QByteArray() << QByteArray() << QByteArray();
    }

    void choosesX11WhenThereIsADisplay()
    {
        QFETCH(QByteArray, qpaPlatform);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, chosen);
        QCOMPARE(Platform::windowSystemFor(qpaPlatform, display), chosen);
    }
};

ZM_TEST_MAIN_CORE(TestWindowSystem)
#include "tst_windowsystem.moc"
