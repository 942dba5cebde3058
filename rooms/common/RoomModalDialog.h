#pragma once

#include <QPointer>

#include <functional>

class ModalDialog;
class QString;
class QWidget;

// The one dialog a class room holds open over itself. Offering a new one rejects and deletes the one held; while
// the room's class-entry run is in progress a new one is refused, and its caller deletes it unseen (the run shows
// its own dialogs meanwhile). GUI thread.
class RoomModalDialog
{
public:
    // runInProgress tells whether the room's class-entry run is in progress now.
    explicit RoomModalDialog(std::function<bool()> runInProgress);
    RoomModalDialog(const RoomModalDialog&) = delete;
    RoomModalDialog& operator=(const RoomModalDialog&) = delete;

    // The held dialog again: true. Otherwise the held one is rejected (while it shows) and deleted later; then
    // null gives true, a run in progress false (nothing held), anything else is held and gives true.
    bool set(ModalDialog* dialog);
    // The held dialog; null when none, also once it was deleted elsewhere.
    ModalDialog* current() const;

    // Offers dialog and shows it when it is held; deletes it later when refused. True when shown.
    bool open(ModalDialog* dialog);
    // A notice over parent (a confirmation with text, the OK text okText, no Cancel and no action), opened as
    // open() does. True when shown.
    bool openNotice(QWidget* parent, const QString& text, const QString& okText);

private:
    std::function<bool()> m_runInProgress;
    QPointer<ModalDialog> m_current;
};
