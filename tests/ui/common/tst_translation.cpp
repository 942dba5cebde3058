#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/DownloadLessonDlg.h"
#include "ui/common/ErrorDlg.h"
#include "ui/common/MyTitleBar.h"
#include "ui/common/NetworkTipsDlg.h"
#include "ui/common/Translation.h"
#include "ui/common/TryWarningDlg.h"
#include "ui/common/UpgradeDlg.h"
#include "ui/common/WattingDlg.h"

#include "ZmTestMain.h"

#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace {

QString text(QWidget& dialog, const char* name)
{
    if (auto* label = dialog.findChild<QLabel*>(QLatin1String(name)))
        return label->text();
    if (auto* button = dialog.findChild<QPushButton*>(QLatin1String(name)))
        return button->text();
    return QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

} // namespace

// Runs in its own program: the translator, once installed, stays for the life of the process.
class TestTranslation : public QObject
{
    Q_OBJECT

private slots:
    void englishInstallsNothing()
    {
        QVERIFY(!Translation::installForLanguage(QStringLiteral("en")));
        CancelOkWarningDlg dialog;
        QCOMPARE(text(dialog, "title"), QStringLiteral("Are you sure you want to exit?"));
    }

    void chineseIsInstalledOnce()
    {
        QVERIFY(Translation::installForLanguage(QStringLiteral("cn")));
        QVERIFY(Translation::installForLanguage(QStringLiteral("cn")));
    }

    void dialogsShowChinese()
    {
        CancelOkWarningDlg confirm;
        QCOMPARE(text(confirm, "title"), QStringLiteral("确定要退出吗？"));
        QCOMPARE(text(confirm, "okBtn"), QStringLiteral("确定"));
        QCOMPARE(text(confirm, "cancelBtn"), QStringLiteral("取消"));

        ErrorDlg error;
        QCOMPARE(text(error, "label_L1"), QStringLiteral("出错了："));
        QCOMPARE(text(error, "iknowBtn"), QStringLiteral("我知道了"));
        error.setErrorCode(64, -1, 0);
        QCOMPARE(text(error, "label_L3"), QStringLiteral("或联系您的课程顾问 [Code: -9001]"));

        TryWarningDlg retry;
        QCOMPARE(text(retry, "title"), QStringLiteral("连接摄像头失败"));
        QCOMPARE(text(retry, "tryBtn"), QStringLiteral("重试"));
        QCOMPARE(text(retry, "closeBtn"), QStringLiteral("关闭"));

        NetworkTipsDlg tips;
        QCOMPARE(text(tips, "title"), QStringLiteral("提示："));
        QVERIFY(text(tips, "label_1").contains(QStringLiteral("红色表示网络质量较差")));
        QCOMPARE(tips.width(), 451);

        WattingDlg waiting;
        QCOMPARE(text(waiting, "title"), QStringLiteral("正在连接摄像头..."));

        DownloadLessonDlg download;
        QCOMPARE(text(download, "downloadLabel"), QStringLiteral("文件加载中"));
        download.updateProgress(5, 0);
        QCOMPARE(text(download, "downloadLabel"), QStringLiteral("正在下载更新..."));
        QCOMPARE(text(download, "timeLabel"), QStringLiteral("剩余时间: 未知"));

        UpgradeDlg upgrade(QStringLiteral("更新程序"), QStringLiteral("是否现在下载更新？"), 0x400404);
        QCOMPARE(text(upgrade, "button1"), QStringLiteral("确定"));
        QCOMPARE(text(upgrade, "button2"), QStringLiteral("取消"));
        UpgradeDlg yesNo(QString(), QString(), 0x814000);
        QCOMPARE(text(yesNo, "button1"), QStringLiteral("放弃"));
        QCOMPARE(text(yesNo, "button2"), QStringLiteral("是"));
        QCOMPARE(text(yesNo, "button3"), QStringLiteral("否"));
    }

    void titleBarShowsChinese()
    {
        MyTitleBar bar;
        QVERIFY(text(bar, "productVersion").startsWith(QStringLiteral("版本：")));
        auto* feedback = bar.findChild<QPushButton*>("ButtonFeedback");
        auto* network = bar.findChild<QToolButton*>("ButtonNetwork");
        QVERIFY(feedback && network);
        QCOMPARE(feedback->toolTip(), QStringLiteral("帮助"));
        QCOMPARE(network->text(), QStringLiteral("优"));
        bar.setNetworkQuality(0, 6);
        QCOMPARE(network->text(), QStringLiteral("差"));
    }
};

ZM_TEST_MAIN(TestTranslation)
#include "tst_translation.moc"
