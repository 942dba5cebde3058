#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;

namespace Ui {
class WattingDlg;
}

// A small frameless strip with a turning spinner and one line of text, shown while something runs, with an
// optional time limit that raises signalTimeout() once per start. Started and stopped any number of times.
class WattingDlg : public QDialog
{
    Q_OBJECT

public:
    explicit WattingDlg(QWidget* parent = nullptr);
    ~WattingDlg() override;

    // Shows the dialog with the text (never blocks). A limit above 0 ms starts the time limit; 0 or less
    // starts none and leaves a limit from an earlier start running.
    void startWaiting(const QString& text, bool modal, int timeoutMs);
    // Stops both timers and closes the dialog; harmless when it is not shown.
    bool stopWaiting();
    // The text line, for the running work to write its own progress into.
    QLabel* textLabel() const;

    static constexpr int kFrameCount = 13;
    static constexpr int kFrameIntervalMs = 76;

signals:
    void signalTimeout();

private slots:
    void loadupdate();
    void loadtimeout();

private:
    Ui::WattingDlg* ui;
    QTimer* m_animationTimer;
    int m_frame = 0;
    QTimer m_timeoutTimer;
};
