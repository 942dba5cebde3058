#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

class QDelayTimer;
class QDialog;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QToolButton;

// The custom title bar of the room windows: product icon, navigation and feature buttons, the title, version,
// period id, processor load, network quality and the window buttons in one row 46 pixels high. It drags its
// window, turns a double click into maximise/restore and re-emits its buttons as signals. The feedback button
// opens the feedback form itself, and a one-time hint about feedback shows under that button.
class MyTitleBar : public QWidget
{
    Q_OBJECT

public:
    // What setNetworkQuality shows: 0 unknown, 1 "GREAT", 2 "GOOD", 3 "POOR".
    static int networkLevelFor(int rxQuality);

    explicit MyTitleBar(QWidget* parent = nullptr);
    ~MyTitleBar() override;

    // 0 hides Restore and Max, 1 hides Restore, 2 hides Min, Restore and Max; nothing is shown again.
    void setWindowButtonsMode(int mode);
    int windowButtonsMode() const { return m_buttonsMode; }

    // Hides Max, shows Restore and emits signalButtonMaxClicked().
    void setMaximizedState();

    void setTitleText(const QString& title);
    void setTitleIcon(const QString& resourcePath);
    void setPeriodId(const QString& periodId);
    void setCpuUsage(int percent);
    void setCpuUsageVisible(bool visible);
    // Only rxQuality (the RTC engine's 0-6 scale) counts.
    void setNetworkQuality(int txQuality, int rxQuality);
    void setForwardButtonHidden(bool hidden);
    void setHomeButtonHidden(bool hidden);
    void setFeedbackButtonHidden(bool hidden);
    void setSettingButtonHidden(bool hidden);
    void showNetworkButton();
    void showShareDesktopButton();
    void setMetrics(int, int, int) {}

    // Rolls the title every 200 ms (the roll position is shared by all title bars).
    void startRollTitle();

    // Puts the feedback hint centred under the feedback button and makes it non-modal.
    void placeFeedbackTip();

    // The feedback hint, null until it has been shown.
    QDialog* feedbackTip() const { return m_feedbackTip.data(); }
    // The pending one-second check that may show the hint; null once it has run or was stopped.
    QTimer* feedbackTipCheck() const;

signals:
    void signalButtonBackClicked();
    void signalButtonForwardClicked();
    void signalButtonReloadClicked();
    void signalButtonSettingClicked();
    void signalButtonHomeClicked();
    void signalButtonShareDesktopClicked();
    void signalButtonNetworkStatusClicked();
    void signalButtonMinClicked();
    void signalButtonRestoreClicked();
    void signalButtonMaxClicked();
    void signalButtonCloseClicked();
    void signalButtonImportClicked();

public slots:
    void onButtonFeedbackClicked();
    void onButtonBackClicked();
    void onButtonForwardClicked();
    void onButtonReloadClicked();
    void onButtonSettingClicked();
    void onButtonHomeClicked();
    void onButtonShareDesktopClicked();
    void onButtonImportClicked();
    void onButtonConfigerClicked();
    void onButtonNetworkStatusClicked();
    void onButtonMinClicked();
    void onButtonRestoreClicked();
    void onButtonMaxClicked();
    void onButtonCloseClicked();
    void onRollTitle();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void initControls();
    void initConnections();
    void loadStyleSheet(const QString& sheetName);
    void showFeedbackTipOnce();

    QHBoxLayout* m_layout = nullptr;
    QLabel* m_productIcon = nullptr;
    QLabel* m_titleContent = nullptr;
    QLabel* m_productVersion = nullptr;
    QLabel* m_periodId = nullptr;
    QLabel* m_cpuUsage = nullptr;
    QPushButton* m_buttonBackward = nullptr;
    QPushButton* m_buttonForward = nullptr;
    QPushButton* m_buttonReload = nullptr;
    QPushButton* m_buttonSetting = nullptr;
    QPushButton* m_buttonHome = nullptr;
    QPushButton* m_buttonShareDesktop = nullptr;
    QPushButton* m_buttonFeedback = nullptr;
    QPushButton* m_buttonImport = nullptr;
    QToolButton* m_buttonNetwork = nullptr;
    QPushButton* m_buttonMin = nullptr;
    QPushButton* m_buttonRestore = nullptr;
    QPushButton* m_buttonMax = nullptr;
    QPushButton* m_buttonClose = nullptr;

    bool m_isPressed = false;
    QPoint m_lastGlobalPos;

    QTimer m_rollTimer;
    QString m_rollTitle;

    int m_buttonsMode = 1;

    // Owned by the title bar; guarded because it is a child of the window, which may go first.
    QPointer<QDialog> m_feedbackTip;
    // The pending one-second check for the hint; stopped with the title bar so nothing outlives it.
    QPointer<QDelayTimer> m_feedbackTipTimer;

    static int s_rollPosition;
};
