#include "rooms/common/RoomModalDialog.h"

#include "ui/common/CancelOkWarningDlg.h"

#include <QDebug>

#include <utility>

RoomModalDialog::RoomModalDialog(std::function<bool()> runInProgress, std::function<bool()> leaving)
    : m_runInProgress(std::move(runInProgress))
    , m_leaving(std::move(leaving))
{
}

bool RoomModalDialog::set(ModalDialog* dialog)
{
    if (dialog == m_current) {
        if (dialog)
            qWarning() << "Error:setCurModalDialog ==m_pCurModalDialog2!";
        return true;
    }
    if (promptShows())
        return !dialog;
    closeHeld();
    if (!dialog)
        return true;
    if (m_runInProgress && m_runInProgress())
        return false;
    m_current = dialog;
    return true;
}

ModalDialog* RoomModalDialog::current() const
{
    return m_current.data();
}

bool RoomModalDialog::open(ModalDialog* dialog)
{
    if (!set(dialog)) {
        if (promptShows())
            qInfo() << "RoomModalDialog::open refused while a prompt waits for its answer:"
                    << dialog->metaObject()->className();
        else
            qInfo() << "RoomModalDialog::open refused while the class entry runs:" << dialog->metaObject()->className();
        dialog->deleteLater();
        return false;
    }
    dialog->show();
    return true;
}

void RoomModalDialog::openPrompt(ModalDialog* prompt)
{
    if (prompt != m_current) {
        closeHeld();
        m_current = prompt;
    }
    m_currentIsPrompt = true;
    // Queued: the prompt's own action has run (and the room may be leaving) when the waiting notice is looked at.
    QObject::connect(
        prompt, &QDialog::finished, &m_receiver, [this] { showWaitingNotice(); }, Qt::QueuedConnection);
    prompt->show();
}

bool RoomModalDialog::openNotice(QWidget* parent, const QString& text, const QString& okText)
{
    if (m_leaving && m_leaving()) {
        qInfo().noquote() << "RoomModalDialog::openNotice dropped, the room is leaving:" << text;
        return false;
    }
    const bool running = m_runInProgress && m_runInProgress();
    if (promptShows() || running) {
        if (m_waitingNotice)
            qInfo().noquote() << "RoomModalDialog::openNotice a newer notice takes the place of:"
                              << m_waitingNotice->text;
        qInfo().noquote() << (running ? "RoomModalDialog::openNotice waits for the class entry run's end:"
                                      : "RoomModalDialog::openNotice waits for the prompt's answer:")
                          << text;
        m_waitingNotice = Notice{parent, text, okText};
        return true;
    }
    auto* notice = new CancelOkWarningDlg(parent);
    notice->setMessageText(text);
    notice->setOkText(okText);
    notice->setCancelButtonVisible(false);
    notice->setDoneCallback({}, parent);
    return open(notice);
}

void RoomModalDialog::closeAll()
{
    m_waitingNotice.reset();
    closeHeld();
}

bool RoomModalDialog::promptShows() const
{
    return m_currentIsPrompt && m_current && m_current->isVisible();
}

void RoomModalDialog::closeHeld()
{
    m_currentIsPrompt = false;
    ModalDialog* held = m_current.data();
    m_current = nullptr;
    if (!held)
        return;
    // A dialog that has finished already is not finished again: its action would run a second time.
    if (held->isVisible())
        held->reject();
    held->deleteLater();
}

void RoomModalDialog::runEnded()
{
    // Queued behind what the run's end has queued already (a leave after a failed or stopped run drops the notice).
    QMetaObject::invokeMethod(
        &m_receiver, [this] { showWaitingNotice(); }, Qt::QueuedConnection);
}

void RoomModalDialog::showWaitingNotice()
{
    if (!m_waitingNotice || promptShows() || (m_runInProgress && m_runInProgress()))
        return;
    const Notice notice = *std::exchange(m_waitingNotice, std::nullopt);
    if (notice.parent)
        openNotice(notice.parent, notice.text, notice.okText);
}
