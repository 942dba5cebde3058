#pragma once

#include <QString>

class FeedbackOnlineDlg;

// How a submitted feedback form reaches the class service. Every opener of the form sends through here, so
// the texts are always percent-encoded before they reach the API client.
namespace FeedbackSubmission {

// The text's UTF-8 bytes percent-encoded; only the unreserved characters (letters, digits, "-._~") stay.
QString encodeText(const QString& text);

// common: each checked row's encoded text followed by ";" (empty when none is checked); other: the encoded
// Others text, empty when "Others" is unchecked.
void collectTexts(const FeedbackOnlineDlg& form, QString& common, QString& other);

// Sends the form's texts with ZmNetAPI::submitFeedback on the calling thread; its result.
int submit(const FeedbackOnlineDlg& form);

} // namespace FeedbackSubmission
