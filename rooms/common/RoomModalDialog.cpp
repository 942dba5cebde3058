#include "rooms/common/RoomModalDialog.h"

#include "ui/common/CancelOkWarningDlg.h"

#include <QDebug>

RoomModalDialog::RoomModalDialog(std::function<bool()> runInProgress)
    : m_runInProgress(std::move(runInProgress))
{
}

bool RoomModalDialog::set(ModalDialog* dialog)
{
    if (dialog == m_current) {
        if (dialog)
            qWarning() << "Error:setCurModalDialog ==m_pCurModalDialog2!";
        return true;
    }
    if (ModalDialog* held = m_current.data()) {
        m_current = nullptr;
        // A dialog that has finished already is not finished again: its action would run a second time.
        if (held->isVisible())
            held->reject();
        held->deleteLater();
    }
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
        qInfo() << "RoomModalDialog::open refused while the class entry runs:" << dialog->metaObject()->className();
        dialog->deleteLater();
        return false;
    }
    dialog->show();
    return true;
}

bool RoomModalDialog::openNotice(QWidget* parent, const QString& text, const QString& okText)
{
    auto* notice = new CancelOkWarningDlg(parent);
    notice->setMessageText(text);
    notice->setOkText(okText);
    notice->setCancelButtonVisible(false);
    notice->setDoneCallback({}, parent);
    return open(notice);
}
