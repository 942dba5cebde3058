#pragma once

#include <QDialog>
#include <QPointer>

#include <functional>

// Base of the small dialogs: a modal QDialog that, when it finishes, calls back the function its opener gave
// with a context object and the result. Openers usually create it on the heap, set the callback with the
// dialog itself as context and show() it; the callback reads the dialog and deletes it later.
class ModalDialog : public QDialog
{
    Q_OBJECT

public:
    using DoneCallback = std::function<void(QObject* context, int result)>;

    explicit ModalDialog(QWidget* parent = nullptr);
    ~ModalDialog() override;

    // Replaces the callback and its context together. The context is watched: once destroyed, the
    // callback receives null in its place.
    void setDoneCallback(DoneCallback callback, QObject* context);

    // QDialog::exec(); the callback has run when it returns, with the same result.
    int exec() override;

public slots:
    // QDialog::done(nDone) first (hides the dialog, sets the result, ends a running exec()), then the callback.
    void done(int nDone) override;

private:
    DoneCallback m_doneCallback;
    QPointer<QObject> m_context;
};
