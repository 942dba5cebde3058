#include "platform/Hardware.h"

#include "ZmTestMain.h"

class TestHardware : public QObject
{
    Q_OBJECT

private slots:
    void physicalCores_data()
    {
        QTest::addColumn<QByteArray>("cpuinfo");
        QTest::addColumn<int>("cores");
        QByteArray twoSockets;
        int processor = 0;
        for (int socket = 0; socket < 2; ++socket) {
            for (int core = 0; core < 2; ++core) {
                for (int thread = 0; thread < 2; ++thread) {
                    twoSockets += "processor\t: " + QByteArray::number(processor++) + "\nmodel name\t: Test CPU\n";
                    twoSockets += "physical id\t: " + QByteArray::number(socket) + "\n";
                    twoSockets += "core id\t\t: " + QByteArray::number(core) + "\n\n";
                }
            }
        }
        QTest::newRow("two sockets, two cores, two threads") << twoSockets << 4;
        QTest::newRow("no core ids (arm)") << QByteArray("processor\t: 0\nBogoMIPS\t: 50\n\nprocessor\t: 1\n\n") << 2;
        QTest::newRow("core ids without sockets")
            << QByteArray("processor : 0\ncore id : 0\nprocessor : 1\ncore id : 0\n") << 1;
        QTest::newRow("empty") << QByteArray() << 0;
    }

    void physicalCores()
    {
        QFETCH(QByteArray, cpuinfo);
        QFETCH(int, cores);
        QCOMPARE(Platform::physicalCoresFromCpuinfo(cpuinfo), cores);
    }

    void adapterNames_data()
    {
        QTest::addColumn<QByteArray>("uevent");
        QTest::addColumn<QString>("name");
        QTest::newRow("driver and id") << QByteArray("DRIVER=i915\nPCI_CLASS=30000\nPCI_ID=8086:3E92\n")
                                       << "i915 (8086:3E92)";
        QTest::newRow("driver only") << QByteArray("DRIVER=virtio-pci\n") << "virtio-pci";
        QTest::newRow("id only") << QByteArray("PCI_ID=1234:1111\n") << "1234:1111";
        QTest::newRow("nothing") << QByteArray("MODALIAS=x\n") << QString();
    }

    void adapterNames()
    {
        QFETCH(QByteArray, uevent);
        QFETCH(QString, name);
        QCOMPARE(Platform::adapterNameFromUevent(uevent), name);
    }

    void thisMachine()
    {
        QVERIFY(Platform::physicalCoreCount() >= 1);
        for (const QString& name : Platform::videoAdapterNames())
            QVERIFY(!name.isEmpty());
    }
};

ZM_TEST_MAIN_CORE(TestHardware)
#include "tst_hardware.moc"
