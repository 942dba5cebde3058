#include "ui/updates/Updater.h"

#include "ui/common/UpgradeDlg.h"

#include "Screenshots.h"
#include "Simulator.h"
#include "UpdatesTestSupport.h"
#include "ZmTestMain.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QUrlQuery>

using namespace UpdatesTest;

namespace {

QLabel* label(Updater& updater, const char* name)
{
    return updater.findChild<QLabel*>(QString::fromLatin1(name));
}

QString labelText(Updater& updater, const char* name)
{
    QLabel* found = label(updater, name);
    return found ? found->text() : QStringLiteral("<missing>");
}

QString buttonText(Updater& updater, const char* name)
{
    auto* button = updater.findChild<QPushButton*>(QString::fromLatin1(name));
    return button ? button->text() : QStringLiteral("<missing>");
}

QProgressBar* bar(Updater& updater)
{
    return updater.findChild<QProgressBar*>(QStringLiteral("progressBar"));
}

QString downloadDir()
{
    return QDir::homePath() + QStringLiteral("/Downloads");
}

// The temporary files left in the download folder.
QStringList partFiles()
{
    return QDir(downloadDir()).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden);
}

} // namespace

class TestUpdater : public QObject
{
    Q_OBJECT

private:
    ZmTest::Simulator m_sim;
    QByteArray m_payload;

    QUrl url(const QString& pathAndQuery) const { return QUrl(m_sim.url(pathAndQuery)); }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        m_payload = patternBytes(300 * 1024 + 17);
        QVERIFY(!m_sim.putFile("upd/ZmQuillo_Setup.exe", m_payload).isEmpty());
        QVERIFY(QDir().mkpath(ZmTest::screenshotDir()));
    }

    void cleanup()
    {
        QVERIFY(m_sim.clearHolds());
        QFile::remove(downloadDir()); // a test may leave a file in the folder's place
        QDir(downloadDir()).removeRecursively();
    }

    void sizeTexts_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "0bytes";
        QTest::newRow("1023") << qint64(1023) << "1023bytes";
        QTest::newRow("1024") << qint64(1024) << "1KB";
        QTest::newRow("1536") << qint64(1536) << "1KB";
        QTest::newRow("just below a MB") << qint64(1048575) << "1023KB";
        QTest::newRow("1MB") << qint64(1048576) << "1MB";
        QTest::newRow("5500000") << qint64(5500000) << "5MB";
        QTest::newRow("beyond 32 bits") << qint64(6) * 1024 * 1024 * 1024 << "6144MB";
    }

    void sizeTexts()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(Updater::sizeText(bytes), text);
    }

    void remainingTimeTexts_data()
    {
        QTest::addColumn<qint64>("elapsed");
        QTest::addColumn<qint64>("received");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<QString>("text");
        // remaining = elapsed * (total - received) / received
        QTest::newRow("7201 s") << qint64(7201) << qint64(1) << qint64(2) << "about 2 hours";
        QTest::newRow("10800 s") << qint64(3600) << qint64(1) << qint64(4) << "about 3 hours";
        QTest::newRow("7200 s") << qint64(7200) << qint64(1) << qint64(2) << "120 minutes";
        QTest::newRow("3600 s") << qint64(3600) << qint64(1) << qint64(2) << "60 minutes";
        QTest::newRow("90 s") << qint64(90) << qint64(1) << qint64(2) << "2 minutes";
        QTest::newRow("61 s") << qint64(61) << qint64(1) << qint64(2) << "1 minute";
        QTest::newRow("60 s") << qint64(60) << qint64(1) << qint64(2) << "60 seconds";
        QTest::newRow("45 s") << qint64(10) << qint64(20) << qint64(110) << "45 seconds";
        QTest::newRow("1 s") << qint64(1) << qint64(1) << qint64(2) << "1 second";
        QTest::newRow("done") << qint64(5) << qint64(100) << qint64(100) << "1 second";
        QTest::newRow("remainder dropped") << qint64(7) << qint64(3) << qint64(4) << "2 seconds";
        QTest::newRow("terabytes, no overflow")
            << qint64(3600) << qint64(1) << (qint64(1) << 40) << "about 1099511627775 hours";
    }

    void remainingTimeTexts()
    {
        QFETCH(qint64, elapsed);
        QFETCH(qint64, received);
        QFETCH(qint64, total);
        QFETCH(QString, text);
        const qint64 seconds = Updater::remainingSeconds(elapsed, received, total);
        QCOMPARE(seconds, qint64(__int128(elapsed) * (total - received) / received));
        QCOMPARE(Updater::remainingTimeText(double(seconds)), text);
        QCOMPARE(Updater::remainingSeconds(elapsed, 0, total), qint64(-1));
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "http://h.example/a/b/ZmQuillo_Setup.exe"
                               << "ZmQuillo_Setup.exe";
        QTest::newRow("trailing slash") << "http://h.example/a/"
                                        << "update_file.bin";
        QTest::newRow("no path") << "http://h.example"
                                 << "update_file.bin";
        QTest::newRow("query left out") << "http://h.example/a/setup.exe?sign=1"
                                        << "setup.exe";
        QTest::newRow("signed address")
            << "https://cdn.example/web/missing.zip?Expires=1700000000&OSSAccessKeyId=STS.id&Signature=abc%3D"
               "&security-token=CAIS-xyz"
            << "missing.zip";
        QTest::newRow("slash in query") << "http://h.example/setup.exe?x=a/b"
                                        << "setup.exe";
        QTest::newRow("fragment left out") << "http://h.example/setup.exe#x/y"
                                           << "setup.exe";
        QTest::newRow("dot dot") << "http://h.example/a/.."
                                 << "update_file.bin";
        QTest::newRow("query dot dot") << "http://h.example/a?x=/.."
                                       << "a";
        QTest::newRow("encoded dots") << "http://h.example/a/%2e%2e"
                                      << "update_file.bin";
        QTest::newRow("encoded slash") << "http://h.example/a%2F..%2F..%2Fx"
                                       << "a%2F..%2F..%2Fx";
        QTest::newRow("single dot") << "http://h.example/."
                                    << "update_file.bin";
        QTest::newRow("too long") << "http://h.example/" + QString(300, QLatin1Char('a')) << "update_file.bin";
    }

    void fileNames()
    {
        QFETCH(QString, address);
        QFETCH(QString, name);
        QCOMPARE(Updater::fileNameForUrl(QUrl(address)), name);
    }

    void form()
    {
        Updater updater;
        QCOMPARE(updater.objectName(), QStringLiteral("Updater"));
        QCOMPARE(updater.windowTitle(), QStringLiteral("ZmQuillo - Updater"));
        QVERIFY(updater.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(labelText(updater, "lbl_dialog_title"), QStringLiteral("Updater"));
        QCOMPARE(labelText(updater, "downloadLabel"), QStringLiteral("Downloading updates"));
        QCOMPARE(labelText(updater, "timeLabel"), QStringLiteral("Time remaining: 0 minutes"));
        auto* open = updater.findChild<QPushButton*>("openButton");
        QVERIFY(open && !open->isEnabled() && open->isHidden());
        QCOMPARE(buttonText(updater, "stopButton"), QStringLiteral("Stop"));
        QCOMPARE(updater.downloadFolder().absolutePath(), QDir(downloadDir()).absolutePath());
        QCOMPARE(updater.minimumSize(), updater.maximumSize());
        QVERIFY(!updater.isVisible());
    }

    // Progress reports as they reach the window, without a transfer behind them.
    void progressTexts()
    {
        ZmTest::Simulator::Route stall;
        stall.path = "/updates/stalled";
        stall.action = ZmTest::Simulator::Route::Action::Stall;
        QVERIFY(m_sim.program(stall) > 0);
        Updater updater;
        updater.startDownload(url("/updates/stalled"));
        QCOMPARE(labelText(updater, "timeLabel"), QStringLiteral("Time remaining: unknown"));
        QVERIFY(updater.isVisible());

        updater.updateProgress(0, 1000);
        QCOMPARE(bar(updater)->value(), 0);
        QCOMPARE(labelText(updater, "downloadLabel"), QStringLiteral("Downloading updates(0bytes / 1000bytes)"));
        QCOMPARE(labelText(updater, "timeLabel"), QStringLiteral("Time remaining: unknown")); // nothing received

        updater.updateProgress(999, 1000);
        QCOMPARE(bar(updater)->value(), 99);
        updater.updateProgress(3 * 1024 * 1024, 5500000);
        QCOMPARE(bar(updater)->maximum(), 100);
        QCOMPARE(bar(updater)->value(), 57);
        QCOMPARE(labelText(updater, "downloadLabel"), QStringLiteral("Downloading updates(3MB / 5MB)"));

        updater.updateProgress(100, -1);
        QCOMPARE(bar(updater)->minimum(), 0);
        QCOMPARE(bar(updater)->maximum(), 0);
        QCOMPARE(labelText(updater, "downloadLabel"), QStringLiteral("Downloading Updates..."));
        QCOMPARE(labelText(updater, "timeLabel"), QStringLiteral("Time Remaining: Unknown"));
        QVERIFY(!updater.isFinished());
        QVERIFY(!QFile::exists(updater.downloadedFilePath()));
        QVERIFY(m_sim.clearRoutes());
    }

    void downloads_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("completes");
        QTest::addColumn<QString>("fileName");
        const QString file = "/updates/get/upd/ZmQuillo_Setup.exe";
        QTest::newRow("with length") << file << true << "ZmQuillo_Setup.exe";
        QTest::newRow("without length") << file + "?length=0&chunk=7000" << true << "ZmQuillo_Setup.exe";
        QTest::newRow("slow body") << file + "?chunk=40000&delay_ms=40" << true << "ZmQuillo_Setup.exe";
        QTest::newRow("slow body without length")
            << file + "?length=0&chunk=40000&delay_ms=40" << true << "ZmQuillo_Setup.exe";
        QTest::newRow("absolute redirect")
            << "/updates/redirect?to=" + QString::fromLatin1(QUrl::toPercentEncoding(m_sim.url(file))) << true
            << "ZmQuillo_Setup.exe";
        QTest::newRow("relative redirect")
            << "/updates/redirect?to=get/upd/ZmQuillo_Setup.exe" << true << "ZmQuillo_Setup.exe";
        QTest::newRow("301 redirect") << "/updates/redirect?status=301&to=/updates/get/upd/ZmQuillo_Setup.exe" << true
                                      << "ZmQuillo_Setup.exe";
        QTest::newRow("404") << "/updates/get/upd/missing.exe" << false << "missing.exe";
        QTest::newRow("500 with a body") << file + "?status=500" << false << "ZmQuillo_Setup.exe";
        QTest::newRow("short body") << file + "?cut=5000" << false << "ZmQuillo_Setup.exe";
        QTest::newRow("redirect loop") << "/updates/loop" << false << "loop";
        QTest::newRow("closed connection") << "/updates/closed" << false << "closed";
    }

    // Every outcome of a download: the file, the temporary file and the window's texts.
    void downloads()
    {
        QFETCH(QString, address);
        QFETCH(bool, completes);
        QFETCH(QString, fileName);
        ZmTest::Simulator::Route close;
        close.path = "/updates/closed";
        close.action = ZmTest::Simulator::Route::Action::Close;
        QVERIFY(m_sim.program(close) > 0);

        Updater updater;
        updater.startDownload(url(address));
        QTRY_VERIFY(updater.isFinished() || updater.hasFailed());
        QCOMPARE(updater.fileName(), fileName);
        const QString path = downloadDir() + "/" + fileName;
        QCOMPARE(updater.downloadedFilePath(), path);
        QCOMPARE(partFiles(), QStringList());
        QVERIFY(updater.isVisible());
        if (completes) {
            QVERIFY(updater.isFinished());
            QCOMPARE(readFile(path), m_payload);
            QCOMPARE(labelText(updater, "downloadLabel"), QStringLiteral("Download complete!"));
            QCOMPARE(labelText(updater, "timeLabel"), QString());
            QCOMPARE(buttonText(updater, "stopButton"), QStringLiteral("install"));
        } else {
            QVERIFY(updater.hasFailed());
            QVERIFY(!QFile::exists(path));
            QCOMPARE(labelText(updater, "downloadLabel"), QStringLiteral("Download failed!"));
            QCOMPARE(buttonText(updater, "stopButton"), QStringLiteral("Stop"));
            // Stop only hides the window now; exec() gives 0.
            QTimer::singleShot(0, &updater, [&updater] { DialogDriver::click(&updater, "stopButton"); });
            QCOMPARE(updater.exec(), 0);
            QVERIFY(!updater.isVisible());
        }
        QVERIFY(m_sim.clearRoutes());
    }

    void closesItselfOnCompletion_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("direct") << "/updates/get/upd/ZmQuillo_Setup.exe";
        QTest::newRow("redirected") << "/updates/redirect?to=get/upd/ZmQuillo_Setup.exe";
        QTest::newRow("without length") << "/updates/get/upd/ZmQuillo_Setup.exe?length=0";
    }

    // The web archive's download closes the window by itself, also after a redirect.
    void closesItselfOnCompletion()
    {
        QFETCH(QString, address);
        Updater updater;
        updater.startDownload(url(address), true);
        QCOMPARE(updater.exec(), 1);
        QVERIFY(!updater.isVisible());
        QCOMPARE(readFile(updater.downloadedFilePath()), m_payload);
    }

    void installOpensTheFile()
    {
        Updater updater;
        QList<QUrl> opened;
        updater.setFileOpener([&opened](const QUrl& file) {
            opened.append(file);
            return true;
        });
        updater.startDownload(url("/updates/get/upd/ZmQuillo_Setup.exe"));
        QTRY_VERIFY(updater.isFinished());
        ZmTest::saveScreenshot(updater, "Updater_complete");
        QTimer::singleShot(0, &updater, [&updater] { DialogDriver::click(&updater, "stopButton"); });
        QCOMPARE(updater.exec(), 1);
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(downloadDir() + "/ZmQuillo_Setup.exe")});
    }

    void closeButtonRejects()
    {
        Updater updater;
        updater.startDownload(url("/updates/get/upd/ZmQuillo_Setup.exe?hold=download&hold_at=1000"));
        QTimer::singleShot(100, &updater, [&updater] { DialogDriver::click(&updater, "btn_close"); });
        QCOMPARE(updater.exec(), 0);
        QVERIFY(!updater.isFinished());
    }

    void stopAsks_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("result");
        QTest::newRow("yes") << "Yes" << 0;
        QTest::newRow("no") << "No" << 1;
        QTest::newRow("closed") << "" << 1;
    }

    // Stop during a download asks first; only Yes cancels it.
    void stopAsks()
    {
        QFETCH(QString, answer);
        QFETCH(int, result);
        Updater updater;
        updater.setFileOpener([](const QUrl&) { return true; });
        // The download waits part-way until the question is answered; it goes on unless cancelled.
        updater.startDownload(url("/updates/get/upd/ZmQuillo_Setup.exe?hold=download&hold_at=16000"));
        QString question;
        DialogDriver driver;
        driver.when<Updater>([](Updater* window) { DialogDriver::click(window, "stopButton"); },
                             [this](Updater*) { return m_sim.heldBy("download") > 0; });
        driver.when<UpgradeDlg>([this, &question, answer](UpgradeDlg* box) {
            question = box->findChild<QLabel*>("lbl_content")->text();
            if (answer.isEmpty()) {
                DialogDriver::click(box, "btn_close");
            } else {
                for (const char* name : {"button1", "button2", "button3"}) {
                    auto* button = box->findChild<QPushButton*>(name);
                    if (button && button->isVisible() && button->text() == answer)
                        button->click();
                }
            }
            if (answer != "Yes")
                m_sim.releaseHold("download");
        });
        if (result == 1) // not cancelled: install once it is there
            driver.when<Updater>([](Updater* window) { DialogDriver::click(window, "stopButton"); },
                                 [](Updater* window) { return window->isFinished(); });
        QCOMPARE(updater.exec(), result);
        QVERIFY(driver.allDone());
        QCOMPARE(question, QStringLiteral("Are you sure you want to cancel the download?"));
        QVERIFY(!updater.isVisible());
        if (result == 0) {
            QVERIFY(!QFile::exists(updater.downloadedFilePath()));
            QCOMPARE(partFiles(), QStringList());
        } else {
            QCOMPARE(readFile(updater.downloadedFilePath()), m_payload);
        }
    }

    void cannotFindUpdate()
    {
        Updater updater;
        QString text;
        DialogDriver driver;
        driver.when<UpgradeDlg>([&text](UpgradeDlg* box) {
            text = box->findChild<QLabel*>("lbl_content")->text();
            DialogDriver::click(box, "btn_close");
        });
        updater.openDownloadFile();
        QCOMPARE(text, QStringLiteral("Cannot find downloaded update!"));
        QVERIFY(driver.allDone());
    }

    // A new start drops the earlier download and its temporary file; the user's files stay.
    void restartReplacesTheDownload()
    {
        ZmTest::Simulator::Route slow;
        slow.path = "/updates/slow/ZmQuillo_Setup.exe";
        slow.body = "the first download's bytes";
        slow.hold = "first";
        QVERIFY(m_sim.program(slow) > 0);
        QVERIFY(writeFile(downloadDir() + "/ZmQuillo_Setup.exe", "old installer"));
        QVERIFY(writeFile(downloadDir() + "/ZmQuillo_Setup.exe.part", "old part"));
        Updater updater;
        updater.startDownload(url("/updates/slow/ZmQuillo_Setup.exe"));
        QVERIFY(m_sim.waitForHeld("first"));
        // The first reply is let go while the second download runs.
        updater.startDownload(url("/updates/get/upd/ZmQuillo_Setup.exe?hold=second&hold_at=50000"));
        QVERIFY(m_sim.waitForHeld("second"));
        QVERIFY(m_sim.releaseHold("first"));
        QVERIFY(m_sim.releaseHold("second"));
        QTRY_VERIFY(updater.isFinished());
        QCOMPARE(updater.downloadedFilePath(), downloadDir() + "/ZmQuillo_Setup (1).exe");
        QCOMPARE(readFile(updater.downloadedFilePath()), m_payload);
        QCOMPARE(readFile(downloadDir() + "/ZmQuillo_Setup.exe"), QByteArray("old installer"));
        QCOMPARE(readFile(downloadDir() + "/ZmQuillo_Setup.exe.part"), QByteArray("old part"));
        QCOMPARE(QDir(downloadDir()).entryList(QDir::Files | QDir::Hidden).size(), 3);
        QVERIFY(m_sim.clearRoutes());
    }

    void numberedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("numbered");
        QTest::newRow("extension") << "ZmQuillo_Setup.exe" << 1 << "ZmQuillo_Setup (1).exe";
        QTest::newRow("dots in the name") << "ZmQuillo_Setup_1.6.0.exe" << 12 << "ZmQuillo_Setup_1.6.0 (12).exe";
        QTest::newRow("two extensions") << "web.tar.gz" << 2 << "web.tar (2).gz";
        QTest::newRow("no extension") << "update_file" << 1 << "update_file (1)";
        QTest::newRow("leading dot only") << ".installer" << 3 << ".installer (3)";
    }
    void numberedNames()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        QFETCH(QString, numbered);
        QCOMPARE(Updater::numberedFileName(name, number), numbered);
    }

    // A download never deletes or replaces a file it did not write: it lands under the first free name.
    void keepsTheUsersFiles_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("finalName"); // empty: the download fails

        const QString file = "/updates/get/upd/ZmQuillo_Setup.exe";
        QTest::newRow("completes beside the user's file")
            << file << QStringList{"ZmQuillo_Setup.exe"} << "ZmQuillo_Setup (1).exe";
        QTest::newRow("numbered names taken too")
            << file << QStringList{"ZmQuillo_Setup.exe", "ZmQuillo_Setup (1).exe", "ZmQuillo_Setup.exe.part"}
            << "ZmQuillo_Setup (2).exe";
        QTest::newRow("short body") << file + "?cut=5000"
                                    << QStringList{"ZmQuillo_Setup.exe", "ZmQuillo_Setup.exe.part"} << "";
        QTest::newRow("not found") << file + "?status=404" << QStringList{"ZmQuillo_Setup.exe"} << "";
    }
    void keepsTheUsersFiles()
    {
        QFETCH(QString, address);
        QFETCH(QStringList, existing);
        QFETCH(QString, finalName);
        for (const QString& name : existing)
            QVERIFY(writeFile(downloadDir() + "/" + name, "the user's " + name.toUtf8()));

        Updater updater;
        updater.startDownload(url(address));
        QTRY_VERIFY(updater.isFinished() || updater.hasFailed());
        for (const QString& name : existing)
            QCOMPARE(readFile(downloadDir() + "/" + name), "the user's " + name.toUtf8());
        QStringList expected = existing;
        if (finalName.isEmpty()) {
            QVERIFY(updater.hasFailed());
        } else {
            QVERIFY(updater.isFinished());
            QCOMPARE(updater.downloadedFilePath(), downloadDir() + "/" + finalName);
            QCOMPARE(readFile(updater.downloadedFilePath()), m_payload);
            expected.append(finalName);
        }
        expected.sort();
        QCOMPARE(QDir(downloadDir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
                 expected);
    }

    // A download that cannot be stored fails with the reason; it is never reported complete.
    void unstorableDownloadFails_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("the download folder is a file") << "folder is a file";
        QTest::newRow("the temporary file replaced by a folder") << "part is a folder";
    }
    void unstorableDownloadFails()
    {
        QFETCH(QString, obstacle);
        if (obstacle == "folder is a file")
            QVERIFY(writeFile(downloadDir(), "not a folder"));

        Updater updater;
        updater.startDownload(url("/updates/get/upd/ZmQuillo_Setup.exe?hold=download&hold_at=50000"));
        if (obstacle == "part is a folder") {
            // The part file is replaced while the download waits part-way.
            QVERIFY(m_sim.waitForHeld("download"));
            const QStringList parts = partFiles();
            QCOMPARE(parts.size(), 1);
            const QString part = downloadDir() + "/" + parts.first();
            QVERIFY(QFile::remove(part));
            QVERIFY(QDir().mkpath(part));
        }
        QVERIFY(m_sim.releaseHold("download"));
        QTRY_VERIFY(updater.isFinished() || updater.hasFailed());
        QVERIFY(updater.hasFailed());
        QCOMPARE(labelText(updater, "downloadLabel"), QStringLiteral("Download failed!"));
        QVERIFY2(!labelText(updater, "timeLabel").isEmpty(), "the reason is shown");
        QVERIFY(!QFileInfo(updater.downloadedFilePath()).exists());
        if (obstacle == "folder is a file")
            QCOMPARE(readFile(downloadDir()), QByteArray("not a folder"));
        QTimer::singleShot(0, &updater, [&updater] { DialogDriver::click(&updater, "stopButton"); });
        QCOMPARE(updater.exec(), 0);
    }

    void dragging()
    {
        Updater updater;
        updater.show();
        QVERIFY(QTest::qWaitForWindowExposed(&updater, ZmTest::kWaitMs));
        updater.move(100, 100);
        QWidget* barWidget = updater.findChild<QWidget*>("widget_bar");
        QVERIFY(barWidget);
        const QPoint start = updater.pos();

        QWidget* body = updater.findChild<QWidget*>("widget");
        QTest::mousePress(body, Qt::LeftButton, {}, QPoint(20, 20));
        QMouseEvent moveBody(QEvent::MouseMove, QPoint(60, 60), body->mapToGlobal(QPoint(60, 60)), Qt::NoButton,
                             Qt::LeftButton, {});
        QApplication::sendEvent(&updater, &moveBody);
        QCOMPARE(updater.pos(), start);
        QTest::mouseRelease(body, Qt::LeftButton, {}, QPoint(60, 60));

        const QPoint pressAt = barWidget->mapToGlobal(QPoint(200, 10));
        QMouseEvent press(QEvent::MouseButtonPress, updater.mapFromGlobal(pressAt), pressAt, Qt::LeftButton,
                          Qt::LeftButton, {});
        QApplication::sendEvent(&updater, &press);
        const QPoint moveTo = pressAt + QPoint(30, 40);
        QMouseEvent move(QEvent::MouseMove, updater.mapFromGlobal(moveTo), moveTo, Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(&updater, &move);
        QCOMPARE(updater.pos(), start + QPoint(30, 40));
        QMouseEvent release(QEvent::MouseButtonRelease, updater.mapFromGlobal(moveTo), moveTo, Qt::LeftButton,
                            Qt::NoButton, {});
        QApplication::sendEvent(&updater, &release);
        const QPoint after = updater.pos();
        QMouseEvent moveAgain(QEvent::MouseMove, QPoint(5, 5), moveTo + QPoint(50, 50), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(&updater, &moveAgain);
        QCOMPARE(updater.pos(), after);
    }

    // Whatever the address and whatever the server sends, files appear only in the download folder.
    void writesOnlyIntoDownloads()
    {
        const QString home = QDir::homePath();
        QVERIFY(QDir().mkpath(home + "/keep"));
        QVERIFY(writeFile(home + "/keep/file.txt", "precious"));
        QVERIFY(writeFile(home + "/.part", "precious"));
        const QMap<QString, QString> before = snapshotTree(home);

        const QStringList addresses = {
            "/updates/get/upd/ZmQuillo_Setup.exe?x=/../../keep/file.txt",
            "/updates/redirect?to=/updates/get/upd/ZmQuillo_Setup.exe%3F/..",
            "/updates/redirect?to=..%2F..%2Fkeep%2Ffile.txt",
            "/updates/get/upd/%2e%2e",
            "/updates/get/upd/..%2F..%2Fkeep%2Ffile.txt",
            "/updates/redirect?to=file:///tmp/zm-updater-escape",
            "/updates/redirect?to=http://127.0.0.1:1/..",
        };
        for (const QString& address : addresses) {
            Updater updater;
            updater.startDownload(url(address));
            QTRY_VERIFY(updater.isFinished() || updater.hasFailed());
            QVERIFY2(QFileInfo(updater.downloadedFilePath()).absolutePath() == QDir(downloadDir()).absolutePath(),
                     qPrintable(address));
        }
        QVERIFY(!QFile::exists("/tmp/zm-updater-escape"));
        for (const QString& path : changedPaths(before, snapshotTree(home)))
            QVERIFY2(path == "Downloads" || path.startsWith("Downloads/"), qPrintable(path));
        QCOMPARE(readFile(home + "/keep/file.txt"), QByteArray("precious"));
        QCOMPARE(readFile(home + "/.part"), QByteArray("precious"));
    }

    void screenshots()
    {
        Updater updater;
        // Both downloads wait part-way while their pictures are taken; the first part comes in steps, so that the
        // window has shown some of them.
        const QString partWay = "chunk=40000&delay_ms=150&hold=download&hold_at=120000";
        updater.startDownload(url("/updates/get/upd/ZmQuillo_Setup.exe?" + partWay));
        QVERIFY(m_sim.waitForHeld("download"));
        ZmTest::saveScreenshot(updater, "Updater_downloading");
        updater.startDownload(url("/updates/get/upd/ZmQuillo_Setup.exe?length=0&" + partWay));
        QTRY_COMPARE(bar(updater)->maximum(), 0);
        ZmTest::saveScreenshot(updater, "Updater_unknown_size");
        updater.startDownload(url("/updates/get/upd/missing.exe"));
        QTRY_VERIFY(updater.hasFailed());
        ZmTest::saveScreenshot(updater, "Updater_failed");
        updater.hide();

        UpgradeDlg question("Updater",
                            "Would you like to download the update now?\nVersion 1.6.0 has been released!\n1. More "
                            "stable classes",
                            0x400404);
        question.show();
        ZmTest::saveScreenshot(question, "Updater_question");
    }
};

ZM_TEST_MAIN(TestUpdater)
#include "tst_updater.moc"
