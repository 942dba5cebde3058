// The two widgets laid over web pages: the courseware load-failure panel (its texts and its reload link) and the
// dimmed page overlay (its close button on press, its play signal, its blank browser view), with screenshots.
#include "Screenshots.h"
#include "ZmTestMain.h"

#include "ui/common/Translation.h"
#include "web/whiteboard/PPTFailLoadTips.h"
#include "web/whiteboard/WebTipOverlapWidget.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QWebEngineView>

class TestPageOverlays : public QObject
{
    Q_OBJECT

private slots:
    void failurePanelTexts_data();
    void failurePanelTexts();
    void failurePanelLinkAsksForAReloadPerClick();
    void overlayClosesOnPressAndPlaysOnlyByName();
    void screenshots();
    // Last: the translator stays installed.
    void chineseTexts();
};

void TestPageOverlays::failurePanelTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    QTest::newRow("headline") << "label_content"
                              << "Oops! Bad internet connection, lesson loading failed.(Code: -4002)";
    QTest::newRow("title") << "label_title"
                           << "Solutions:";
    QTest::newRow("1") << "label_1"
                       << "1. Refresh the page or exit the classroom;";
    QTest::newRow("2") << "label_2"
                       << "2. Use wired internet connection instead of wifi;";
    QTest::newRow("3") << "label_3"
                       << "3. Switch to 4G network if wifi is being used at public spaces such as airports, train "
                          "stations, and shopping malls;";
    QTest::newRow("4") << "label_4"
                       << "4. Turn off high definition internet TV and download managers during the class;";
    QTest::newRow("5") << "label_5"
                       << "5. Contact Zm staff for assistance.";
}

void TestPageOverlays::failurePanelTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);

    PPTFailLoadTips panel;
    QCOMPARE(panel.objectName(), QStringLiteral("PPTFailLoadTips"));
    auto* label = panel.findChild<QLabel*>(name);
    QVERIFY(label);
    QCOMPARE(label->text(), text);
}

void TestPageOverlays::failurePanelLinkAsksForAReloadPerClick()
{
    PPTFailLoadTips panel;
    panel.resize(872, 518);
    panel.show();
    QSignalSpy reload(&panel, &PPTFailLoadTips::signal_reload_page);
    auto* link = panel.findChild<QPushButton*>(QStringLiteral("btn_refresh"));
    QVERIFY(link);
    QCOMPARE(link->text(), QStringLiteral("Click to Refresh"));
    QTest::mouseClick(link, Qt::LeftButton);
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(reload.size(), 2);
}

void TestPageOverlays::overlayClosesOnPressAndPlaysOnlyByName()
{
    WebTipOverlapWidget overlay;
    overlay.show();
    QSignalSpy close(&overlay, &WebTipOverlapWidget::signalClose);
    QSignalSpy play(&overlay, &WebTipOverlapWidget::signalPlay);
    auto* button = overlay.findChild<QPushButton*>(QStringLiteral("closeBtn"));
    QVERIFY(button);

    QTest::mousePress(button, Qt::LeftButton);
    QCOMPARE(close.size(), 1);
    QTest::mouseRelease(button, Qt::LeftButton);
    QCOMPARE(close.size(), 1);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(close.size(), 2);

    // No button of the form plays; the slot is reachable by name only.
    QVERIFY(!overlay.findChild<QPushButton*>(QStringLiteral("playBtn")));
    QVERIFY(QMetaObject::invokeMethod(&overlay, "on_playBtn_pressed"));
    QCOMPARE(play.size(), 1);
    QCOMPARE(close.size(), 2);

    auto* view = overlay.findChild<QWebEngineView*>(QStringLiteral("webEngineView"));
    QVERIFY(view);
    QCOMPARE(view->url(), QUrl(QStringLiteral("about:blank")));
    // The view takes up to 600 x 300 in the middle of the overlay.
    overlay.resize(811, 617);
    QTRY_COMPARE(view->size(), QSize(600, 300));
}

void TestPageOverlays::screenshots()
{
    PPTFailLoadTips panel;
    panel.resize(872, 518);
    ZmTest::showAndSaveScreenshot(panel, QStringLiteral("load_failure_panel"));

    QWidget backdrop;
    backdrop.setObjectName(QStringLiteral("backdrop"));
    backdrop.setStyleSheet(QStringLiteral("QWidget#backdrop { background: #F5F7FA; }"));
    backdrop.resize(811, 617);
    auto* overlay = new WebTipOverlapWidget(&backdrop);
    overlay->resize(backdrop.size());
    ZmTest::showAndSaveScreenshot(backdrop, QStringLiteral("web_tip_overlay"));
}

void TestPageOverlays::chineseTexts()
{
    QVERIFY(Translation::installForLanguage(QStringLiteral("cn")));
    PPTFailLoadTips panel;
    QCOMPARE(panel.findChild<QLabel*>(QStringLiteral("label_title"))->text(), QString::fromUtf8("解决方法："));
    QCOMPARE(panel.findChild<QPushButton*>(QStringLiteral("btn_refresh"))->text(), QString::fromUtf8("点击刷新"));
}

ZM_TEST_MAIN(TestPageOverlays)
#include "tst_pageoverlays.moc"
