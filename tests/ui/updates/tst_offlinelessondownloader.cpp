#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "net/packages/OfflineLessonResManager.h"
#include "net/packages/OfflineLessonResult.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/DownloadLessonDlg.h"
#include "ui/updates/OfflineLessonResDownloader.h"

#include "Screenshots.h"
#include "Simulator.h"
#include "UpdatesTestSupport.h"
#include "ZmTestMain.h"

#include <QCryptographicHash>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>

using namespace UpdatesTest;

// Stands in for the main window: it keeps the one modal dialog shown over it.
class ZmMainRoomDlg : public QWidget
{
    Q_OBJECT

public:
    Q_INVOKABLE bool setCurModalDialog(QDialog* dialog)
    {
        if (dialog && dialog == m_current)
            return true;
        if (m_current) {
            m_current->reject();
            m_current->deleteLater();
        }
        m_current = dialog;
        ++m_changes;
        return true;
    }
    Q_INVOKABLE QDialog* curModalDialog() const { return m_current; }

    QPointer<QDialog> m_current;
    int m_changes = 0;
};

namespace {

const char kLesson[] = "880213";

QString md5Of(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

QString lessonsDir()
{
    return OfflineLessonResManager::offlineLessonDir();
}

// What the end of a run showed: nothing, the retry question or the notice.
struct EndDialog
{
    bool shown = false;
    QString message;
    QString ok;
    bool cancelVisible = false;
};

EndDialog endDialogOf(OfflineLessonResDownloader& downloader)
{
    EndDialog seen;
    auto* dialog = qobject_cast<CancelOkWarningDlg*>(downloader.curModalDialog());
    if (!dialog || !dialog->isVisible())
        return seen;
    seen.shown = true;
    // A part that is missing leaves its field empty, which the comparisons report.
    if (auto* title = dialog->findChild<QLabel*>("title"))
        seen.message = title->text();
    if (auto* ok = dialog->findChild<QPushButton*>("okBtn"))
        seen.ok = ok->text();
    auto* cancel = dialog->findChild<QPushButton*>("cancelBtn");
    seen.cancelVisible = cancel && cancel->isVisible();
    return seen;
}

const QString kRetryText = "File loading failed.\nDownload timeout, please download again.";
const QString kNoticeText =
    "File loading failed.\nThe file has been unpacked or has been corrupted. Please contact the staff.";

} // namespace

class TestOfflineLessonDownloader : public QObject
{
    Q_OBJECT

private:
    ZmTest::Simulator m_sim;
    QByteArray m_package;
    QList<int> m_posted;

    // Programs the package reply: address, MD5 and size as the service gives them.
    bool programPackage(const QString& address, const QString& md5, qint64 size, const QString& code = "0",
                        int delayMs = 0)
    {
        QJsonObject spec{{"zip_url", address}, {"md5", md5}, {"size", QString::number(size)}, {"code", code}};
        if (delayMs > 0)
            spec["delay_ms"] = delayMs;
        int status = 0;
        m_sim.control("POST", "/_control/updates/course_zip", QJsonDocument(spec).toJson(), &status);
        return status == 200;
    }

    QString packageUrl(const QString& query = QString()) const
    {
        return m_sim.url("/updates/get/lessons/880213.zip" + query);
    }

    // Runs the downloader once and waits until its own end slot has run.
    bool runOnce(OfflineLessonResDownloader& downloader)
    {
        bool handled = false;
        // Queued after the downloader's own connection, so it runs once the end slot has.
        const QMetaObject::Connection after = connect(
            &downloader, &OfflineLessonResDownloader::sigDownloadEnd, this, [&handled] { handled = true; },
            Qt::QueuedConnection);
        downloader.start();
        const bool ended = QTest::qWaitFor([&handled] { return handled; }, ZmTest::kWaitMs);
        disconnect(after);
        return ended;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        m_sim.pointUrlConfig();
        AppGlobalData::instance()->launch.userId = "100234";
        AppGlobalData::instance()->launch.token = "tok";
        m_package = zipBytes({{"index.html", "<html>lesson</html>"}, {"media/a.bin", patternBytes(200000)}});
        QVERIFY(!m_package.isEmpty());
        QVERIFY(!m_sim.putFile("lessons/880213.zip", m_package).isEmpty());
        QVERIFY(!m_sim.putFile("lessons/broken.zip", QByteArray("PK\x03\x04 broken") + patternBytes(5000)).isEmpty());
        OfflineLessonResDownloader::setStartStatusPoster([this](int status) { m_posted.append(status); });
        QVERIFY(QDir().mkpath(ZmTest::screenshotDir()));
    }

    void init()
    {
        m_posted.clear();
        QDir(lessonsDir()).removeRecursively();
        QVERIFY(QDir().mkpath(lessonsDir()));
        QVERIFY(m_sim.clearRoutes());
        QVERIFY(m_sim.clearRequests());
        QVERIFY(m_sim.clearHolds());
        AppGlobalData::instance()->launch.startAppType = AppType_JoinClass;
    }

    void helpers()
    {
        QCOMPARE(OfflineLessonResDownloader::md5Hex("abc"), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
        char data[4] = {1, 2, 3, 4};
        OfflineLessonResDownloader downloader(kLesson, nullptr);
        QCOMPARE(OfflineLessonResDownloader::writeCallback(nullptr, 1, 4, &downloader), size_t(0));
        QCOMPARE(OfflineLessonResDownloader::writeCallback(data, 1, 4, nullptr), size_t(0));
        QCOMPARE(downloader.result(), 1);
        QCOMPARE(downloader.timeoutSeconds(), 1800);
        QVERIFY(!downloader.isTimedOut());
    }

    void outcomes_data()
    {
        QTest::addColumn<QString>("lessonId");
        QTest::addColumn<QString>("address"); // "{pkg}" is the package address
        QTest::addColumn<QString>("md5");     // "{md5}" / "{MD5}" the package's
        QTest::addColumn<qint64>("sizeDelta");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("dialog"); // "" none, "retry", "notice"

        QTest::newRow("success") << kLesson << "{pkg}"
                                 << "{md5}" << qint64(0) << "0" << 0 << "";
        QTest::newRow("upper-case MD5") << kLesson << "{pkg}"
                                        << "{MD5}" << qint64(0) << "0" << 0 << "";
        QTest::newRow("without length") << kLesson << "{pkg}?length=0&chunk=9000"
                                        << "{md5}" << qint64(0) << "0" << 0 << "";
        QTest::newRow("redirected") << kLesson << "redirect:get/lessons/880213.zip"
                                    << "{md5}" << qint64(0) << "0" << 0 << "";
        QTest::newRow("service refuses") << kLesson << "{pkg}"
                                         << "{md5}" << qint64(0) << "1003" << -10 << "retry";
        QTest::newRow("404") << kLesson << "{pkg}.missing"
                             << "{md5}" << qint64(0) << "0" << -20 << "retry";
        QTest::newRow("connection closed") << kLesson << "closed"
                                           << "{md5}" << qint64(0) << "0" << -20 << "retry";
        QTest::newRow("short body") << kLesson << "{pkg}?cut=20000"
                                    << "{md5}" << qint64(0) << "0" << -20 << "retry";
        QTest::newRow("no address") << kLesson << ""
                                    << "{md5}" << qint64(0) << "0" << -20 << "retry";
        QTest::newRow("local file address") << kLesson << "file:///etc/hostname"
                                            << "{md5}" << qint64(0) << "0" << -20 << "retry";
        QTest::newRow("announced larger") << kLesson << "{pkg}"
                                          << "{md5}" << qint64(1) << "0" << -31 << "notice";
        QTest::newRow("announced smaller") << kLesson << "{pkg}"
                                           << "{md5}" << qint64(-1) << "0" << -31 << "notice";
        QTest::newRow("wrong MD5") << kLesson << "{pkg}" << QString(32, QLatin1Char('0')) << qint64(0) << "0" << -32
                                   << "notice";
        QTest::newRow("not a zip") << kLesson << "broken"
                                   << "{md5}" << qint64(0) << "0" << -43 << "notice";
        QTest::newRow("lesson id leaves the folder") << "../escape"
                                                     << "{pkg}"
                                                     << "{md5}" << qint64(0) << "0" << -42 << "notice";
        QTest::newRow("empty lesson id") << ""
                                         << "{pkg}"
                                         << "{md5}" << qint64(0) << "0" << -42 << "notice";
    }

    // Each outcome of a run: result code, files left behind, start status and the dialog with its texts.
    void outcomes()
    {
        QFETCH(QString, lessonId);
        QFETCH(QString, address);
        QFETCH(QString, md5);
        QFETCH(qint64, sizeDelta);
        QFETCH(QString, code);
        QFETCH(int, result);
        QFETCH(QString, dialog);

        QByteArray served = m_package;
        if (address == "broken") {
            served = QByteArray("PK\x03\x04 broken") + patternBytes(5000);
            address = m_sim.url("/updates/get/lessons/broken.zip");
        } else if (address == "closed") {
            ZmTest::Simulator::Route close;
            close.path = "/updates/closed";
            close.action = ZmTest::Simulator::Route::Action::Close;
            QVERIFY(m_sim.program(close) > 0);
            address = m_sim.url("/updates/closed");
        } else if (address.startsWith("redirect:")) {
            address = m_sim.url("/updates/redirect?to=" + address.mid(9));
        }
        address.replace("{pkg}", packageUrl());
        md5.replace("{md5}", md5Of(served)).replace("{MD5}", md5Of(served).toUpper());
        QVERIFY(programPackage(address, md5, served.size() + sizeDelta, code));

        // An archive left by an earlier attempt is replaced, never extended.
        QVERIFY(writeFile(lessonsDir() + "/880213.zip", "left over from an earlier attempt"));
        const QMap<QString, QString> before = snapshotTree(QDir::homePath());

        OfflineLessonResDownloader downloader(lessonId, nullptr);
        QSignalSpy progress(&downloader, &OfflineLessonResDownloader::sigDownloadProgress);
        QVERIFY(runOnce(downloader));
        QCOMPARE(downloader.result(), result);

        const QString folder = lessonsDir() + "/" + kLesson;
        if (result == 0) {
            QCOMPARE(readFile(folder + "/index.html"), QByteArray("<html>lesson</html>"));
            QCOMPARE(readFile(folder + "/media/a.bin"), patternBytes(200000));
            QCOMPARE(readFile(lessonsDir() + "/880213.zip"), m_package);
            QCOMPARE(m_posted, QList<int>{4});
            QVERIFY(!progress.isEmpty());
            QCOMPARE(progress.last().at(1).value<qint64>(), qint64(m_package.size()));
            QVERIFY(!downloader.curModalDialog()); // the progress dialog is let go
            QVERIFY(OfflineLessonResManager::instance()->getLessonResourceDir(kLesson, nullptr));
        } else {
            QVERIFY(!QDir(folder).exists());
            QVERIFY(m_posted.isEmpty());
            if (result == -43) // the checked archive stays beside the folder
                QCOMPARE(readFile(lessonsDir() + "/880213.zip"), served);
        }
        if (result == -10 || result == -42 || QByteArray(QTest::currentDataTag()) == "connection closed")
            QVERIFY(progress.isEmpty()); // no data, no progress dialog

        const EndDialog seen = endDialogOf(downloader);
        QCOMPARE(seen.shown, !dialog.isEmpty());
        if (dialog == "retry") {
            QCOMPARE(seen.message, kRetryText);
            QCOMPARE(seen.ok, QStringLiteral("Retry"));
            QVERIFY(seen.cancelVisible);
        } else if (dialog == "notice") {
            QCOMPARE(seen.message, kNoticeText);
            QCOMPARE(seen.ok, QStringLiteral("OK"));
            QVERIFY(!seen.cancelVisible);
        }

        // Nothing but the offline lesson folder was written (and the transport's trace in the day's log).
        const QDir home(QDir::homePath());
        const QString lessonsRelative = home.relativeFilePath(lessonsDir());
        const QString logsRelative = home.relativeFilePath(ConfigManager::instance()->getLogDir());
        for (const QString& path : changedPaths(before, snapshotTree(QDir::homePath())))
            QVERIFY2(path.startsWith(lessonsRelative + "/") || path.startsWith(logsRelative + "/"), qPrintable(path));
        QVERIFY(!QFile::exists(lessonsDir() + "/../escape"));
    }

    void replayPostsItsStatus()
    {
        AppGlobalData::instance()->launch.startAppType = AppType_Playback;
        QVERIFY(programPackage(packageUrl(), md5Of(m_package), m_package.size()));
        OfflineLessonResDownloader downloader(kLesson, nullptr);
        QVERIFY(runOnce(downloader));
        QCOMPARE(downloader.result(), 0);
        QCOMPARE(m_posted, QList<int>{7});
    }

    // The service call carries the lesson id, the user's id and token.
    void asksForTheLessonsPackage()
    {
        QVERIFY(programPackage(packageUrl(), md5Of(m_package), m_package.size()));
        OfflineLessonResDownloader downloader(kLesson, nullptr);
        QVERIFY(runOnce(downloader));
        const QJsonArray calls = m_sim.requests("/material/lesson/course/zip");
        QCOMPARE(calls.size(), 1);
        const auto pairs = ZmTest::Simulator::pairsOf(calls[0].toObject()["params"]);
        QVERIFY(pairs.contains({"lessonId", kLesson}));
        QVERIFY(pairs.contains({"userId", "100234"}));
        QVERIFY(pairs.contains({"token", "tok"}));
    }

    // Retry runs the same download again; a later success posts the status.
    void retryRestarts()
    {
        ZmTest::Simulator::Route missing;
        missing.path = "/updates/get/lessons/880213.zip";
        missing.status = 404;
        missing.times = 1;
        QVERIFY(m_sim.program(missing) > 0);
        QVERIFY(programPackage(packageUrl(), md5Of(m_package), m_package.size()));

        QWidget window;
        window.resize(800, 600);
        window.show();
        OfflineLessonResDownloader downloader(kLesson, &window);
        QSignalSpy ended(&downloader, &OfflineLessonResDownloader::sigDownloadEnd);
        QSignalSpy calledOff(&downloader, &OfflineLessonResDownloader::sigDownloadUserCallOff);
        downloader.start();
        // The spy records on the emitting thread: count its entries rather than wait for an emission to come.
        QTRY_COMPARE(ended.size(), 1);
        QTRY_VERIFY(endDialogOf(downloader).shown);
        QCOMPARE(downloader.result(), -20);
        auto* question = qobject_cast<CancelOkWarningDlg*>(downloader.curModalDialog());
        QVERIFY(question);
        QCOMPARE(question->parentWidget(), &window);
        ZmTest::saveScreenshot(*question, "OfflineLessonResDownloader_retry");
        const QPointer<CancelOkWarningDlg> asked(question);
        QVERIFY(DialogDriver::click(question, "okBtn"));
        QTRY_COMPARE(ended.size(), 2);
        QTRY_COMPARE(m_posted, QList<int>{4});
        QCOMPARE(downloader.result(), 0);
        QCOMPARE(calledOff.size(), 0);
        QTRY_VERIFY(asked.isNull());
        QVERIFY(OfflineLessonResManager::instance()->getLessonResourceDir(kLesson, nullptr));
    }

    void giveUp_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("button");
        QTest::newRow("retry question, Cancel") << "missing"
                                                << "cancelBtn";
        QTest::newRow("retry question, close") << "missing"
                                               << "closeBtn";
        QTest::newRow("notice, OK") << "md5"
                                    << "okBtn";
        QTest::newRow("notice, close") << "md5"
                                       << "closeBtn";
    }

    // Every way out of the end dialog but Retry tells the router that the user gave up, once.
    void giveUp()
    {
        QFETCH(QString, address);
        QFETCH(QString, button);
        if (address == "missing")
            QVERIFY(programPackage(packageUrl(".missing"), md5Of(m_package), m_package.size()));
        else
            QVERIFY(programPackage(packageUrl(), QString(32, QLatin1Char('f')), m_package.size()));
        OfflineLessonResDownloader downloader(kLesson, nullptr);
        QSignalSpy calledOff(&downloader, &OfflineLessonResDownloader::sigDownloadUserCallOff);
        QVERIFY(runOnce(downloader));
        QVERIFY(endDialogOf(downloader).shown);
        const QPointer<QDialog> dialog = downloader.curModalDialog();
        if (button == "okBtn")
            ZmTest::saveScreenshot(*dialog, "OfflineLessonResDownloader_notice");
        QVERIFY(DialogDriver::click(dialog, qPrintable(button)));
        QCOMPARE(calledOff.size(), 1);
        QCOMPARE(calledOff[0][0].value<OfflineLessonResDownloader*>(), &downloader);
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(calledOff.size(), 1);
        QVERIFY(!downloader.isRunning());
    }

    // A failure after the time limit offers a retry even when the archive itself was bad.
    void timedOutRunOffersRetry()
    {
        QVERIFY(programPackage(packageUrl(), QString(32, QLatin1Char('0')), m_package.size(), "0", 1300));
        OfflineLessonResDownloader downloader(kLesson, nullptr);
        downloader.setTimeoutSeconds(1);
        // The reply's delay makes the run late; the transfer itself may take as long as the machine needs.
        downloader.setTransferTimeoutSecondsForTesting(ZmTest::kWaitMs / 1000);
        QVERIFY(runOnce(downloader));
        QCOMPARE(downloader.result(), -32);
        QVERIFY(downloader.elapsedSeconds() >= 1);
        QVERIFY(downloader.isTimedOut());
        const EndDialog seen = endDialogOf(downloader);
        QCOMPARE(seen.message, kRetryText);
        QCOMPARE(seen.ok, QStringLiteral("Retry"));
    }

    // A slow download shows its progress dialog with the bar moving, then lets it go.
    void progressDialog()
    {
        // The package waits half-way while the dialog is looked at.
        QVERIFY(programPackage(packageUrl("?hold=package&hold_at=" + QString::number(m_package.size() / 2)),
                               md5Of(m_package), m_package.size()));
        QWidget window;
        window.resize(800, 600);
        window.show();
        OfflineLessonResDownloader downloader(kLesson, &window);
        QSignalSpy ended(&downloader, &OfflineLessonResDownloader::sigDownloadEnd);
        downloader.start();
        QTRY_VERIFY(qobject_cast<DownloadLessonDlg*>(downloader.curModalDialog()));
        const QPointer<QDialog> dialog = downloader.curModalDialog();
        QCOMPARE(dialog->parentWidget(), &window);
        auto* bar = dialog->findChild<QProgressBar*>("progressBar");
        QVERIFY(bar);
        QTRY_VERIFY(bar->value() > 10);
        auto* label = dialog->findChild<QLabel*>("downloadLabel");
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("File loading"));
        ZmTest::saveScreenshot(*dialog, "DownloadLessonDlg_progress");
        QVERIFY(m_sim.releaseHold("package"));
        QTRY_COMPARE(ended.size(), 1);
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(downloader.result(), 0);
        QCOMPARE(m_posted, QList<int>{4});
    }

    // With the main window as parent, its own current-dialog pair holds the dialogs.
    void mainWindowHoldsTheDialogs()
    {
        QVERIFY(
            programPackage(packageUrl("?hold=package&hold_at=20000"), QString(32, QLatin1Char('0')), m_package.size()));
        ZmMainRoomDlg mainWindow;
        mainWindow.show();
        OfflineLessonResDownloader downloader(kLesson, &mainWindow);
        QSignalSpy ended(&downloader, &OfflineLessonResDownloader::sigDownloadEnd);
        downloader.start();
        QTRY_VERIFY(qobject_cast<DownloadLessonDlg*>(mainWindow.m_current.data()));
        QVERIFY(m_sim.releaseHold("package"));
        QTRY_COMPARE(ended.size(), 1);
        QTRY_VERIFY(qobject_cast<CancelOkWarningDlg*>(mainWindow.m_current.data()));
        QCOMPARE(downloader.curModalDialog(), mainWindow.m_current.data());
        QCOMPARE(endDialogOf(downloader).message, kNoticeText);
        QSignalSpy calledOff(&downloader, &OfflineLessonResDownloader::sigDownloadUserCallOff);
        QVERIFY(DialogDriver::click(mainWindow.m_current, "okBtn"));
        QCOMPARE(calledOff.size(), 1);
        QTRY_VERIFY(mainWindow.m_current.isNull());
    }
};

ZM_TEST_MAIN(TestOfflineLessonDownloader)
#include "tst_offlinelessondownloader.moc"
