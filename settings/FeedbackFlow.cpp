#include "settings/FeedbackFlow.h"

#include "settings/ConfigeTipDlg.h"
#include "settings/FeedbackSubmission.h"

#include <QPointer>

namespace {

// The failure notice over parent; its button opens the form again with kept. A notice closed otherwise (replaced by
// another dialog, Escape) leaves the form closed.
void showFailure(QWidget* parent, const FeedbackFlow::Show& show, const std::function<void()>& received,
                 const FeedbackOnlineDlg::Choices& kept)
{
    auto* notice = new ConfigeTipDlg(parent);
    notice->showFeedbackFailedPage();
    QObject::connect(notice, &ConfigeTipDlg::sig_end_device_test, parent, [parent, show, received, kept] {
        // After the notice has closed.
        QMetaObject::invokeMethod(
            parent, [parent, show, received, kept] { FeedbackFlow::openForm(parent, show, received, kept); },
            Qt::QueuedConnection);
    });
    show(notice);
}

} // namespace

void FeedbackFlow::openForm(QWidget* parent, const Show& show, const std::function<void()>& received,
                            const FeedbackOnlineDlg::Choices& choices)
{
    auto* form = new FeedbackOnlineDlg(parent);
    form->setChoices(choices);
    const QPointer<QWidget> guardedParent(parent);
    form->setDoneCallback(
        [guardedParent, show, received](QObject* context, int result) {
            auto* form = qobject_cast<FeedbackOnlineDlg*>(context);
            if (!form)
                return;
            form->deleteLater();
            if (result != 1 || !guardedParent)
                return;
            if (FeedbackSubmission::submit(*form) == 0) {
                received();
                return;
            }
            const FeedbackOnlineDlg::Choices kept = form->choices();
            QWidget* parent = guardedParent;
            QMetaObject::invokeMethod(
                parent, [parent, show, received, kept] { showFailure(parent, show, received, kept); },
                Qt::QueuedConnection);
        },
        form);
    show(form);
}
