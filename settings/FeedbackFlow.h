#pragma once

#include "settings/FeedbackOnlineDlg.h"

#include <functional>

class ModalDialog;
class QWidget;

// The round of the in-class feedback form: the form; once submitted, its texts go to the class service
// (FeedbackSubmission). A submission the service took ends with the opener's acknowledgement; a failed one shows the
// device check's failure notice ("Network exception, submission feedback failed. ..."), and its "Get it" brings the
// form back as the user left it, for another try. The opener shows each dialog of the round its own way (one at a
// time over a room, or on its own); every dialog of the round frees itself once done. GUI thread.
namespace FeedbackFlow {

// Shows a dialog of the round, whose actions are set already.
using Show = std::function<void(ModalDialog* dialog)>;

// Opens the form over parent, filled with choices; received runs when the service took a submission (parent lives
// then). Nothing of the round outlives parent.
void openForm(QWidget* parent, const Show& show, const std::function<void()>& received,
              const FeedbackOnlineDlg::Choices& choices = FeedbackOnlineDlg::Choices());

} // namespace FeedbackFlow
