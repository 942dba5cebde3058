#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

// Answers the modal dialogs of a class-entry run, so that runs go on without a person: it looks at the
// top-level windows every few milliseconds, presses "Retry" or "Close" in each retry dialog as its script says
// ("Close" once the script is spent), acknowledges each error dialog, and records what the dialogs and the
// waiting dialog showed.
class DialogAnswerer : public QObject
{
    Q_OBJECT

public:
    enum Answer
    {
        Retry,
        Close
    };

    explicit DialogAnswerer(QList<Answer> retryAnswers = {});

    // Each retry dialog answered: its title and content line, and whether the waiting dialog was visible then.
    QStringList retryTitles;
    QStringList retryContents;
    QList<bool> waitingVisibleAtRetry;
    // The second line of each error dialog acknowledged (it carries " [Code: <code>]").
    QStringList errorLines;
    // Runs while a retry dialog is up, right before it is answered (e.g. what the user does meanwhile).
    std::function<void()> beforeRetryAnswer;
    // The waiting dialog's texts other than empty, in the order seen: a text each time the dialog came up or
    // its text changed.
    QStringList waitingTexts;

private slots:
    void poll();

private:
    QList<Answer> m_answers;
    bool m_waitingWasVisible = false;
    QTimer m_timer;
};
