#include "app/ConfigManager.h"
#include "net/updates/WebResourceUpdate.h"
#include "net/zip/ZipUtil.h"
#include "ui/common/UpgradeDlg.h"
#include "ui/updates/Updater.h"
#include "ui/updates/VersionChecker.h"

#include "Simulator.h"
#include "UpdatesTestSupport.h"
#include "ZmTestMain.h"

#include <QCryptographicHash>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

using namespace UpdatesTest;

namespace {

QString md5Of(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

QString resourceDir()
{
    return ConfigManager::instance()->getOfflineResourceDir();
}

QString installedVersion()
{
    return ConfigManager::getOfflineResVersion(resourceDir());
}

// Clicks the UpgradeDlg button showing that text; btn_close for an empty text.
void answer(UpgradeDlg* box, const QString& text)
{
    if (text.isEmpty()) {
        DialogDriver::click(box, "btn_close");
        return;
    }
    for (const char* name : {"button1", "button2", "button3"}) {
        auto* button = box->findChild<QPushButton*>(name);
        if (button && button->isVisible() && button->text() == text) {
            button->click();
            return;
        }
    }
}

} // namespace

class TestVersionChecker : public QObject
{
    Q_OBJECT

private:
    ZmTest::Simulator m_sim;
    QByteArray m_installer;
    QByteArray m_webArchive;

    bool programVerdicts(const QJsonObject& spec)
    {
        int status = 0;
        m_sim.control("POST", "/_control/updates/public_resources", QJsonDocument(spec).toJson(), &status);
        return status == 200;
    }

    void installResources(const QString& version)
    {
        QDir(resourceDir()).removeRecursively();
        QVERIFY(writeFile(resourceDir() + "/manifest.json", "{\"version\": \"" + version.toUtf8() + "\"}"));
        QVERIFY(writeFile(resourceDir() + "/index.html", "old page"));
    }

private slots:
    void initTestCase()
    {
        ConfigManager::setArchiveExtractor(&ZipUtil::extractDir);
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        m_sim.pointUrlConfig();
        m_installer = patternBytes(150000, 3);
        m_webArchive = zipBytes({{"manifest.json", "{\"version\": \"20240605\"}"}, {"index.html", "new page"}});
        QVERIFY(!m_sim.putFile("app/ZmQuillo_Setup_en.exe", m_installer).isEmpty());
        QVERIFY(!m_sim.putFile("app/ZmQuillo_Setup_cn.exe", m_installer).isEmpty());
        QVERIFY(!m_sim.putFile("web/offlineRes.zip", m_webArchive).isEmpty());
        QVERIFY(!m_sim.putFile("web/broken.zip", "PK\x03\x04 no archive").isEmpty());
    }

    void init()
    {
        QVERIFY(m_sim.clearRoutes());
        QVERIFY(m_sim.clearRequests());
        QVERIFY(m_sim.clearHolds());
        installResources("20240101");
        QDir(QDir::homePath() + "/Downloads").removeRecursively();
    }

    void verdicts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("verdict");
        QTest::newRow("2") << "2" << 2;
        QTest::newRow("blanks") << " 3 " << 3;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("word") << "two" << 0;
        QTest::newRow("negative") << "-1" << -1;
    }

    void verdicts()
    {
        QFETCH(QString, text);
        QFETCH(int, verdict);
        QCOMPARE(VersionChecker::verdictOf(text), verdict);
    }

    // The start-up flows: what the user does in each window, and whether the start goes on.
    void flows_data()
    {
        QTest::addColumn<int>("appStatus");
        QTest::addColumn<int>("webStatus");
        QTest::addColumn<QString>("question");    // "-" not asked; else the button clicked ("" closes)
        QTest::addColumn<QString>("programStep"); // "-" no program download; "install", "stop", "close"
        QTest::addColumn<QString>("webStep");     // "-" no web download; "auto" (closes itself), "stop"
        QTest::addColumn<QString>("webArchive");  // "good", "broken", "wrong md5", "redirected"
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<int>("uiShowed");

        QTest::newRow("nothing new") << 1 << 1 << "-"
                                     << "-"
                                     << "-"
                                     << "good" << true << false << 0;
        QTest::newRow("unknown verdicts") << 4 << 0 << "-"
                                          << "-"
                                          << "-"
                                          << "good" << true << false << 0;
        QTest::newRow("optional declined") << 2 << 1 << "Cancel"
                                           << "-"
                                           << "-"
                                           << "good" << true << false << 1;
        QTest::newRow("optional closed, web update") << 2 << 2 << ""
                                                     << "-"
                                                     << "auto"
                                                     << "good" << true << true << 2;
        QTest::newRow("optional accepted, installed") << 2 << 2 << "OK"
                                                      << "install"
                                                      << "-"
                                                      << "good" << false << false << 1;
        QTest::newRow("optional accepted, window closed") << 2 << 1 << "OK"
                                                          << "close"
                                                          << "-"
                                                          << "good" << true << false << 1;
        QTest::newRow("optional accepted, stopped, web update") << 2 << 3 << "OK"
                                                                << "stop"
                                                                << "auto"
                                                                << "good" << true << true << 2;
        QTest::newRow("forced, installed") << 3 << 2 << "-"
                                           << "install"
                                           << "-"
                                           << "good" << false << false << 1;
        QTest::newRow("forced, stopped") << 3 << 0 << "-"
                                         << "stop"
                                         << "-"
                                         << "good" << false << false << 1;
        QTest::newRow("forced, window closed") << 3 << 0 << "-"
                                               << "close"
                                               << "-"
                                               << "good" << false << false << 1;
        QTest::newRow("web optional completed") << 1 << 2 << "-"
                                                << "-"
                                                << "auto"
                                                << "good" << true << true << 1;
        QTest::newRow("web optional stopped") << 1 << 2 << "-"
                                              << "-"
                                              << "stop"
                                              << "good" << true << false << 1;
        QTest::newRow("web forced completed") << 0 << 3 << "-"
                                              << "-"
                                              << "auto"
                                              << "good" << true << true << 1;
        QTest::newRow("web forced stopped") << 0 << 3 << "-"
                                            << "-"
                                            << "stop"
                                            << "good" << false << false << 1;
        QTest::newRow("web archive redirected") << 1 << 2 << "-"
                                                << "-"
                                                << "auto"
                                                << "redirected" << true << true << 1;
        QTest::newRow("web archive with a wrong MD5") << 1 << 3 << "-"
                                                      << "-"
                                                      << "auto"
                                                      << "wrong md5" << true << false << 1;
        QTest::newRow("web archive broken") << 1 << 2 << "-"
                                            << "-"
                                            << "auto"
                                            << "broken" << true << false << 1;
    }

    void flows()
    {
        QFETCH(int, appStatus);
        QFETCH(int, webStatus);
        QFETCH(QString, question);
        QFETCH(QString, programStep);
        QFETCH(QString, webStep);
        QFETCH(QString, webArchive);
        QFETCH(bool, goesOn);
        QFETCH(bool, installed);
        QFETCH(int, uiShowed);

        // Stopping needs a download that is still running when Stop is pressed: its body waits part-way for a
        // release that never comes, and Stop is pressed once it waits.
        const QString held = "?hold=download&hold_at=16";
        const QString programUrl =
            m_sim.url("/updates/get/app/ZmQuillo_Setup_en.exe") + (programStep == "stop" ? held : QString());
        QString webUrl = m_sim.url("/updates/get/web/offlineRes.zip") + (webStep == "stop" ? held : QString());
        QString md5 = md5Of(m_webArchive);
        if (webArchive == "broken") {
            webUrl = m_sim.url("/updates/get/web/broken.zip");
            md5.clear();
        } else if (webArchive == "wrong md5") {
            md5 = QString(32, QLatin1Char('a'));
        } else if (webArchive == "redirected") {
            webUrl = m_sim.url("/updates/redirect?to=get/web/offlineRes.zip");
        }
        QVERIFY(programVerdicts({{"app_status", appStatus},
                                 {"version", "9.0.0"},
                                 {"app_url", m_sim.url("/updates/get/app/ZmQuillo_Setup_cn.exe")},
                                 {"app_url_en", programUrl},
                                 {"desc", QString::fromUtf8("修复已知问题")},
                                 {"desc_en", "Known issues fixed"},
                                 {"web_status", webStatus},
                                 {"web_version", "20240605"},
                                 {"web_md5", md5},
                                 {"web_url_en", webUrl}}));

        VersionChecker checker;
        QList<QUrl> opened;
        checker.updater()->setFileOpener([&opened](const QUrl& file) {
            opened.append(file);
            return true;
        });
        QSignalSpy showed(&checker, &VersionChecker::sigUiShowed);
        QString asked;
        DialogDriver driver;
        if (question != "-") {
            driver.when<UpgradeDlg>([&asked, question](UpgradeDlg* box) {
                asked = box->findChild<QLabel*>("lbl_content")->text();
                answer(box, question);
            });
        }
        auto stop = [this, &driver] {
            driver.when<Updater>([](Updater* window) { DialogDriver::click(window, "stopButton"); },
                                 [this](Updater*) { return m_sim.heldBy("download") > 0; });
            driver.when<UpgradeDlg>([](UpgradeDlg* box) { answer(box, "Yes"); });
        };
        if (programStep == "install")
            driver.when<Updater>([](Updater* window) { DialogDriver::click(window, "stopButton"); },
                                 [](Updater* window) { return window->isFinished(); });
        else if (programStep == "close")
            driver.when<Updater>([](Updater* window) { DialogDriver::click(window, "btn_close"); });
        else if (programStep == "stop")
            stop();
        if (webStep == "stop")
            stop();

        const bool result = checker.checkVersion();
        QCOMPARE(result, goesOn);
        QVERIFY2(driver.allDone(), qPrintable(QString::number(driver.pending())));
        QCOMPARE(showed.size(), uiShowed);
        QVERIFY(!checker.updater()->isVisible());
        if (question != "-")
            QCOMPARE(asked, QStringLiteral("Would you like to download the update now?\nVersion 9.0.0 has been "
                                           "released!\nKnown issues fixed"));
        QCOMPARE(checker.checkResult(), appStatus);
        QCOMPARE(checker.latestVersion(), QStringLiteral("9.0.0"));
        QCOMPARE(checker.updateAddress(), programUrl);

        // The request told the service the installed version.
        const QJsonArray calls = m_sim.requests("/configs/public/resources");
        QCOMPARE(calls.size(), 1);
        QVERIFY(ZmTest::Simulator::pairsOf(calls[0].toObject()["params"]).contains({"webVersion", "20240101"}));

        // Downloads asked for: the program installer, then the web archive.
        const int programDownloads = m_sim.requests("/updates/get/app/").size();
        QCOMPARE(programDownloads, programStep == "-" ? 0 : 1);
        if (programStep == "install")
            QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(QDir::homePath() + "/Downloads/ZmQuillo_Setup_en.exe")});
        else
            QVERIFY(opened.isEmpty());
        const int webDownloads = m_sim.requests("/updates/get/web/").size();
        QCOMPARE(webDownloads, webStep == "-" ? 0 : 1);

        // The installed resources change only after a complete, verified download.
        QCOMPARE(installedVersion(), installed ? QStringLiteral("20240605") : QStringLiteral("20240101"));
        QCOMPARE(readFile(resourceDir() + "/index.html"), installed ? QByteArray("new page") : QByteArray("old page"));
        QVERIFY(!QDir(resourceDir() + ".update").exists());
        QVERIFY(!QDir(resourceDir() + ".replaced").exists());
    }

    void serviceFailures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("refused") << "refused";
        QTest::newRow("connection closed") << "closed";
        QTest::newRow("not JSON") << "text";
    }

    // When the versions can't be had, the start goes on and nothing shows.
    void serviceFailures()
    {
        QFETCH(QString, kind);
        if (kind == "refused") {
            QVERIFY(programVerdicts({{"success", false}, {"code", "500"}, {"app_status", 3}, {"web_status", 3}}));
        } else {
            ZmTest::Simulator::Route route;
            route.path = "/configs/public/resources";
            if (kind == "closed")
                route.action = ZmTest::Simulator::Route::Action::Close;
            else
                route.body = "<html>maintenance</html>";
            QVERIFY(m_sim.program(route) > 0);
        }
        VersionChecker checker;
        QSignalSpy showed(&checker, &VersionChecker::sigUiShowed);
        QVERIFY(checker.checkVersion());
        QCOMPARE(showed.size(), 0);
        QCOMPARE(m_sim.requests("/updates/").size(), 0);
        QCOMPARE(installedVersion(), QStringLiteral("20240101"));
    }

    // A Chinese interface takes the Chinese installer and notes; the web archive always comes from the English
    // address.
    void chineseInterface()
    {
        const QByteArray saved = qgetenv("LC_ALL");
        qputenv("LC_ALL", "zh_CN.UTF-8");
        QVERIFY(programVerdicts({{"app_status", 2},
                                 {"version", "9.0.0"},
                                 {"app_url", m_sim.url("/updates/get/app/ZmQuillo_Setup_cn.exe")},
                                 {"app_url_en", m_sim.url("/updates/get/app/ZmQuillo_Setup_en.exe")},
                                 {"desc", QString::fromUtf8("修复已知问题")},
                                 {"desc_en", "Known issues fixed"},
                                 {"web_status", 2},
                                 {"web_md5", md5Of(m_webArchive)},
                                 {"web_url", m_sim.url("/updates/get/web/missing_cn.zip")},
                                 {"web_url_en", m_sim.url("/updates/get/web/offlineRes.zip")}}));
        VersionChecker checker;
        checker.updater()->setFileOpener([](const QUrl&) { return true; });
        QString asked;
        DialogDriver driver;
        driver.when<UpgradeDlg>([&asked](UpgradeDlg* box) {
            asked = box->findChild<QLabel*>("lbl_content")->text();
            answer(box, "OK");
        });
        driver.when<Updater>([](Updater* window) { DialogDriver::click(window, "btn_close"); },
                             [](Updater* window) { return window->isFinished(); });
        const bool result = checker.checkVersion();
        qputenv("LC_ALL", saved);
        QVERIFY(result);
        QVERIFY(asked.endsWith(QString::fromUtf8("\n修复已知问题")));
        QCOMPARE(checker.updateAddress(), m_sim.url("/updates/get/app/ZmQuillo_Setup_cn.exe"));
        QCOMPARE(m_sim.requests("/updates/get/app/ZmQuillo_Setup_cn.exe").size(), 1);
        QCOMPARE(m_sim.requests("/updates/get/web/offlineRes.zip").size(), 1);
        QCOMPARE(installedVersion(), QStringLiteral("20240605"));
    }

    // The installer of the web archive alone: checks, sibling unpack and swap.
    void webResourceInstall()
    {
        const QString archive = QDir::homePath() + "/Downloads/web.zip";
        QVERIFY(writeFile(archive, m_webArchive));
        QVERIFY(!WebResourceUpdate::install(archive, QString(32, QLatin1Char('0')), resourceDir()));
        QCOMPARE(installedVersion(), QStringLiteral("20240101"));
        QVERIFY(WebResourceUpdate::install(archive, md5Of(m_webArchive).toUpper(), resourceDir()));
        QCOMPARE(installedVersion(), QStringLiteral("20240605"));
        QVERIFY(!QFile::exists(resourceDir() + "/../" + QFileInfo(resourceDir()).fileName() + ".update"));
        QVERIFY(!WebResourceUpdate::install(archive, QString(), QString()));
        const QByteArray slip = zipBytes({{"manifest.json", "{\"version\": \"6\"}"}, {"../escaped.txt", "x"}});
        QVERIFY(writeFile(archive, slip));
        QVERIFY(!WebResourceUpdate::install(archive, QString(), resourceDir()));
        QCOMPARE(installedVersion(), QStringLiteral("20240605"));
        QVERIFY(!QFile::exists(QFileInfo(resourceDir()).absolutePath() + "/escaped.txt"));
    }
};

ZM_TEST_MAIN(TestVersionChecker)
#include "tst_versionchecker.moc"
