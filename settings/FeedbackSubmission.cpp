#include "settings/FeedbackSubmission.h"

#include "net/api/ZmNetAPI.h"
#include "settings/FeedbackOnlineDlg.h"

#include <QDebug>
#include <QUrl>

QString FeedbackSubmission::encodeText(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

void FeedbackSubmission::collectTexts(const FeedbackOnlineDlg& form, QString& common, QString& other)
{
    common.clear();
    other.clear();
    const int rows = form.feedbackItems().size();
    for (int index = 0; index < rows; ++index) {
        QString text;
        if (form.getCheckedItemText(index, text))
            common += encodeText(text) + QLatin1Char(';');
    }
    QString otherText;
    if (form.getOtherText(otherText))
        other = encodeText(otherText);
}

int FeedbackSubmission::submit(const FeedbackOnlineDlg& form)
{
    QString common;
    QString other;
    collectTexts(form, common, other);
    const int result = ZmNetAPI::instance()->submitFeedback(common, other);
    if (result != 0)
        qWarning() << "FeedbackSubmission::submit submitFeedback gave" << result;
    return result;
}
