#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/DownloadLessonDlg.h"
#include "ui/common/ErrorDlg.h"
#include "ui/common/NetworkTipsDlg.h"
#include "ui/common/QRadiusMenu.h"
#include "ui/common/ToastDialog.h"
#include "ui/common/TryWarningDlg.h"
#include "ui/common/UiResources.h"
#include "ui/common/UpgradeDlg.h"
#include "ui/common/WattingDlg.h"
#include "ui/common/ZmImageLabel.h"

#include "Screenshots.h"
#include "ZmTestMain.h"

#include <QDir>
#include <QPainter>

// Renders every common dialog to a PNG under <build>/screenshots/ so that a person can look at them.
class TestDialogScreenshots : public QObject
{
    Q_OBJECT

private:
    static void save(QWidget& widget, const QString& name)
    {
        widget.show();
        QPixmap shot;
        ZmTest::saveScreenshot(widget, name, &shot);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(shot.size(), widget.size());
        QVERIFY(!QImage(ZmTest::screenshotPath(name)).isNull());
    }

private slots:
    void initTestCase() { QVERIFY(QDir().mkpath(ZmTest::screenshotDir())); }

    void confirmation()
    {
        CancelOkWarningDlg dialog;
        save(dialog, "CancelOkWarningDlg");
        CancelOkWarningDlg reset;
        reset.setMessageText("The reset will reconnect the camera and speakers, and solve the problems of video and "
                             "sound carton. The whole process will take about 5 seconds. Are you sure you want to "
                             "reset it?");
        reset.setOkText("Yes");
        save(reset, "CancelOkWarningDlg_long");
        CancelOkWarningDlg notice;
        notice.setMessageText("CPU overload, please close other software programs.");
        notice.setOkText("Get it");
        notice.setCancelButtonVisible(false);
        save(notice, "CancelOkWarningDlg_notice");
    }

    void error()
    {
        ErrorDlg dialog;
        dialog.setErrorCode(32, -1, -3);
        save(dialog, "ErrorDlg");
    }

    void retry()
    {
        TryWarningDlg dialog;
        save(dialog, "TryWarningDlg");
    }

    void waiting()
    {
        WattingDlg dialog;
        dialog.startWaiting("Connecting camera...", false, 0);
        QTest::qWait(400);
        save(dialog, "WattingDlg");
        dialog.stopWaiting();
    }

    void networkTips()
    {
        NetworkTipsDlg dialog;
        save(dialog, "NetworkTipsDlg");
    }

    void download()
    {
        DownloadLessonDlg dialog;
        dialog.updateProgress(412, 1000);
        save(dialog, "DownloadLessonDlg");
        DownloadLessonDlg busy;
        busy.updateProgress(412, 0);
        save(busy, "DownloadLessonDlg_nosize");
    }

    void upgrade()
    {
        UpgradeDlg question("Updater", "Would you like to download the update now?", 0x400404);
        save(question, "UpgradeDlg");
        UpgradeDlg critical("Updater", "Cannot find downloaded update!", 0x400 | 3);
        save(critical, "UpgradeDlg_critical");
    }

    void toasts()
    {
        const char* names[] = {"ToastDialog_success", "ToastDialog_warning", "ToastDialog_error"};
        const char* texts[] = {"Courseware imported", "Broken network, reconnecting...", "Import failed"};
        for (int type = 0; type < 3; ++type) {
            ToastDialog toast;
            toast.showToast(type, texts[type]);
            save(toast, names[type]);
        }
    }

    void imageLabelAndMenu()
    {
        QWidget panel;
        panel.setStyleSheet("background-color: rgb(50, 69, 79);");
        panel.resize(200, 60);
        auto* portrait = new ZmImageLabel(&panel);
        portrait->setGeometry(10, 10, 40, 40);
        portrait->setPixmap(QPixmap(":/buttons/res/box_warning.png"));
        save(panel, "ZmImageLabel");

        QRadiusMenu menu(&panel);
        for (const char* entry : {"Instructional video", "Devices test", "Clear cache", "System setting"})
            menu.addAction(QString::fromLatin1(entry));
        menu.popup(QPoint(40, 40));
        menu.setActiveAction(menu.actions().at(1));
        save(menu, "QRadiusMenu");
        menu.hide();
    }

    // Every picture the dialogs and the title bar name, on a light and a dark strip; each must load.
    void pictures()
    {
        UiResources::ensureLoaded();
        QStringList paths;
        for (const char* name : {"succ", "warning", "error", "guanbi"})
            paths << QStringLiteral(":/imageRes/image/res/%1.png").arg(QLatin1String(name));
        for (int frame = 1; frame <= 13; ++frame)
            paths << QStringLiteral(":/imageRes/image/res/loading/%1.png").arg(frame);
        for (const char* name : {"box_warning", "box_critical", "button_normal", "button_hover"})
            paths << QStringLiteral(":/buttons/res/%1.png").arg(QLatin1String(name));
        for (const char* name : {"backward", "forward", "refresh", "setting", "home", "share_desktop", "feedback"}) {
            paths << QStringLiteral(":/Resources/MyTitle/%1.png").arg(QLatin1String(name));
            paths << QStringLiteral(":/Resources/MyTitle/%1_grey.png").arg(QLatin1String(name));
        }
        paths << QStringLiteral(":/Resources/MyTitle/import.png");
        for (const char* name : {"min", "max", "restore", "close", "network_good", "network_bad", "network_terrible"})
            paths << QStringLiteral(":/Resources/MyTitle/%1.png").arg(QLatin1String(name));

        const int cell = 160;
        const int columns = 6;
        const int rows = (paths.size() + columns - 1) / columns;
        QImage sheet(columns * cell, rows * cell, QImage::Format_ARGB32);
        sheet.fill(QColor(250, 250, 250));
        QPainter painter(&sheet);
        for (int i = 0; i < paths.size(); ++i) {
            const QImage picture(paths.at(i));
            QVERIFY2(!picture.isNull(), qPrintable(paths.at(i)));
            const QRect box((i % columns) * cell, (i / columns) * cell, cell, cell);
            painter.fillRect(box.adjusted(0, cell / 2, 0, 0), QColor(36, 49, 56));
            const QSize shown = picture.size().scaled(QSize(cell - 40, cell / 2 - 16), Qt::KeepAspectRatio);
            const QRect top(box.left() + (cell - shown.width()) / 2, box.top() + 8, shown.width(), shown.height());
            painter.drawImage(top, picture);
            painter.drawImage(top.translated(0, cell / 2), picture);
        }
        painter.end();
        QVERIFY(sheet.save(ZmTest::screenshotPath("pictures"), "PNG"));

        QCOMPARE(QImage(":/Resources/MyTitle/close.png").size(), QSize(148, 32));
        QVERIFY(QFile::exists(":/qm/cn.qm"));
    }
};

ZM_TEST_MAIN(TestDialogScreenshots)
#include "tst_dialogscreenshots.moc"
