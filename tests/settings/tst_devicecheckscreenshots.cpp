// Renders every page of the device-check wizard and its tip dialog to PNGs under <build>/screenshots/ so that a
// person can look at them. The camera page is taken from the screen, with the engine's picture in its window.
#include "settings/CheckSystemDlg.h"
#include "settings/ConfigeTipDlg.h"

#include "app/AppGlobalData.h"

#include "DeviceCheckRig.h"
#include "Screenshots.h"
#include "ZmTestMain.h"

#include <QAbstractButton>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>

namespace {

// The texts of the visible labels and buttons under root that their widgets cut off: a line wider than the space
// inside the widget, or more lines than its height holds.
QStringList clippedTexts(const QWidget& root)
{
    QStringList clipped;
    QList<QWidget*> widgets;
    for (QLabel* label : root.findChildren<QLabel*>())
        widgets << label;
    for (QAbstractButton* button : root.findChildren<QAbstractButton*>())
        widgets << button;
    for (QWidget* widget : qAsConst(widgets)) {
        auto* label = qobject_cast<QLabel*>(widget);
        auto* button = qobject_cast<QAbstractButton*>(widget);
        const QString text = label ? label->text() : button->text();
        if (!widget->isVisible() || text.isEmpty() || (label && label->wordWrap()))
            continue;
        const QFontMetrics metrics(widget->font());
        const QRect space = widget->contentsRect();
        const QStringList lines = text.split('\n');
        int width = 0;
        for (const QString& line : lines)
            width = qMax(width, metrics.horizontalAdvance(line));
        const int height = metrics.height() * lines.size();
        if (width > space.width() || height > space.height())
            clipped << QStringLiteral("%1 \"%2\" needs %3x%4, has %5x%6")
                           .arg(widget->objectName(), text)
                           .arg(width)
                           .arg(height)
                           .arg(space.width())
                           .arg(space.height());
    }
    return clipped;
}

} // namespace

class TestDeviceCheckScreenshots : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DeviceCheckRig> m_rig;

    // The wizard's picture; no text on it is cut off.
    void save(const QString& name)
    {
        ZmTest::saveScreenshot(*m_rig->wizard, name);
        const QStringList clipped = clippedTexts(*m_rig->wizard);
        QVERIFY2(clipped.isEmpty(), qPrintable(name + ": " + clipped.join("; ")));
    }

private slots:
    void initTestCase() { QVERIFY(QDir().mkpath(ZmTest::screenshotDir())); }

    void init()
    {
        m_rig = std::make_unique<DeviceCheckRig>();
        QVERIFY2(m_rig->start(), qPrintable(m_rig->simulator.errorString()));
        AppGlobalData::instance()->launch.latestVersionName = QStringLiteral("1.5.7");
    }

    void cleanup() { m_rig.reset(); }

    void pages()
    {
        DeviceCheckRig& rig = *m_rig;
        rig.open();
        save("CheckSystemDlg_1_welcome");

        QVERIFY(rig.walkTo(22));
        QDialog* preview = rig.wizard->findChild<QDialog*>("renderWindow");
        QTRY_VERIFY(preview->isVisible());
        QTest::qWait(300); // a few frames painted
        const QRect area = rig.wizard->frameGeometry();
        const QPixmap screen =
            QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
        QVERIFY(screen.save(ZmTest::screenshotPath("CheckSystemDlg_2_camera"), "PNG"));
        save("CheckSystemDlg_2_camera_without_picture");

        rig.click("page_2_2_btn_next");
        QVERIFY(rig.waitForDevices());
        QTRY_VERIFY(rig.child<QProgressBar>("microphone_volume")->value() > 40);
        save("CheckSystemDlg_3_microphone");

        rig.click("page_2_3_btn_next");
        QVERIFY(rig.waitForDevices());
        save("CheckSystemDlg_4_speaker");

        rig.click("page_2_4_btn_next");
        save("CheckSystemDlg_5_program_measuring");
        QVERIFY(rig.finishMeasuring());
        save("CheckSystemDlg_5_program");

        rig.click("page_2_1_btn_next");
        save("CheckSystemDlg_6_result_passed");
    }

    void failedResultAndTips()
    {
        DeviceCheckRig& rig = *m_rig;
        rig.ping.answer("ws.test", "100% packet loss", 1);
        rig.open();
        QVERIFY(rig.walkTo(22));
        rig.click("page_2_2_btn_no_video");
        QVERIFY(rig.walkTo(21));
        QVERIFY(rig.finishMeasuring());
        save("CheckSystemDlg_5_program_failed");
        rig.click("page_2_1_btn_next");
        save("CheckSystemDlg_6_result_failed");

        for (const char* page : {"continue", "failed_student", "failed_staff"}) {
            AppGlobalData::instance()->launch.accountType = QByteArray(page) == "failed_staff" ? 2 : 1;
            ConfigeTipDlg tip(&rig.host);
            if (QByteArray(page) == "continue")
                tip.showContinuePage();
            else
                tip.showFeedbackFailedPage();
            ZmTest::showAndSaveScreenshot(tip, QStringLiteral("ConfigeTipDlg_%1").arg(page));
            const QStringList clipped = clippedTexts(tip);
            QVERIFY2(clipped.isEmpty(), qPrintable(QString(page) + ": " + clipped.join("; ")));
        }
    }
};

ZM_TEST_MAIN(TestDeviceCheckScreenshots)
#include "tst_devicecheckscreenshots.moc"
