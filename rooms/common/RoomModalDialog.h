#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class ModalDialog;
class QWidget;

// The one dialog a class room holds open over itself. Offering a new one rejects and deletes the one held; while
// the room's class-entry run is in progress a new one is refused, and its caller deletes it unseen (the run shows
// its own dialogs meanwhile).
//
// A prompt (a dialog whose answer leaves the class or retries its entry) is the exception: until the user has
// answered it, nothing but the next prompt or closeAll() takes it off. Other dialogs offered meanwhile are refused,
// and a notice waits behind it: once the prompt is answered the notice shows, unless the room is leaving by then.
// A notice offered while a run is in progress (whose dialogs retry the entry or leave) waits for the run's end
// the same way. GUI thread.
class RoomModalDialog
{
public:
    // runInProgress tells whether the room's class-entry run is in progress now; leaving whether the room is on its
    // way out (notices are dropped then). An empty leaving means never.
    explicit RoomModalDialog(std::function<bool()> runInProgress, std::function<bool()> leaving = {});
    RoomModalDialog(const RoomModalDialog&) = delete;
    RoomModalDialog& operator=(const RoomModalDialog&) = delete;

    // The held dialog again: true. A prompt waiting for its answer stays: null gives true, anything else false.
    // Otherwise the held one is rejected (while it shows) and deleted later; then null gives true, a run in progress
    // false (nothing held), anything else is held and gives true.
    bool set(ModalDialog* dialog);
    // The held dialog; null when none, also once it was deleted elsewhere.
    ModalDialog* current() const;

    // Offers dialog and shows it when it is held; deletes it later when refused. True when shown.
    bool open(ModalDialog* dialog);
    // Holds prompt in place of the held dialog (a prompt too), also while a run is in progress, and shows it.
    void openPrompt(ModalDialog* prompt);
    // A notice over parent (a confirmation with text, the OK text okText, no Cancel and no action). Dropped while
    // the room is leaving; waiting behind a prompt that shows or for the end of a run in progress (in place of a
    // notice waiting before); else opened as open() does. True when shown or waiting.
    bool openNotice(QWidget* parent, const QString& text, const QString& okText);
    // The room's run has ended (its block is gone): the waiting notice shows from the event loop, after what the
    // run's end queued before, or is dropped when the room is leaving by then.
    void runEnded();
    // Closes the held dialog, a prompt too, and forgets a waiting notice: the room goes.
    void closeAll();

private:
    struct Notice
    {
        QPointer<QWidget> parent;
        QString text;
        QString okText;
    };

    // A prompt is held and shows.
    bool promptShows() const;
    // Rejects the held dialog (while it shows) and deletes it later.
    void closeHeld();
    // Shows the waiting notice once neither a prompt nor a run holds it back (dropped when the room leaves).
    void showWaitingNotice();

    std::function<bool()> m_runInProgress;
    std::function<bool()> m_leaving;
    QPointer<ModalDialog> m_current;
    bool m_currentIsPrompt = false;
    std::optional<Notice> m_waitingNotice;
    // Receives the prompts' ends; its connections go with the holder.
    QObject m_receiver;
};
