#include "ui/common/ModalDialog.h"

#include "ui/common/UiResources.h"

ModalDialog::ModalDialog(QWidget* parent)
    : QDialog(parent)
{
    UiResources::ensureLoaded();
    setModal(true);
}

ModalDialog::~ModalDialog() = default;

void ModalDialog::setDoneCallback(DoneCallback callback, QObject* context)
{
    m_doneCallback = std::move(callback);
    m_context = context;
}

int ModalDialog::exec()
{
    return QDialog::exec();
}

void ModalDialog::done(int nDone)
{
    QDialog::done(nDone);
    if (!m_doneCallback)
        return;
    // A copy: the callback may replace itself through setDoneCallback while it runs.
    const DoneCallback callback = m_doneCallback;
    callback(m_context.data(), nDone);
}
