#include "DialogAnswerer.h"

#include "ui/common/ErrorDlg.h"
#include "ui/common/TryWarningDlg.h"
#include "ui/common/WattingDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>

namespace {

QString labelText(const QWidget* dialog, const char* name)
{
    const auto* label = dialog->findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QString();
}

void press(QWidget* dialog, const char* name)
{
    if (auto* button = dialog->findChild<QAbstractButton*>(QLatin1String(name)))
        button->click();
}

bool waitingVisible()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (qobject_cast<WattingDlg*>(window) && window->isVisible())
            return true;
    }
    return false;
}

} // namespace

DialogAnswerer::DialogAnswerer(QList<Answer> retryAnswers)
    : m_answers(std::move(retryAnswers))
{
    connect(&m_timer, &QTimer::timeout, this, &DialogAnswerer::poll);
    m_timer.start(5);
}

void DialogAnswerer::poll()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    bool waitingSeen = false;
    for (QWidget* window : windows) {
        if (!window->isVisible())
            continue;
        if (auto* waiting = qobject_cast<WattingDlg*>(window)) {
            const QString text = waiting->textLabel()->text();
            const bool isNew = !m_waitingWasVisible || waitingTexts.isEmpty() || waitingTexts.constLast() != text;
            if (!text.isEmpty() && isNew)
                waitingTexts << text;
            waitingSeen = true;
        } else if (qobject_cast<TryWarningDlg*>(window)) {
            retryTitles << labelText(window, "title");
            retryContents << labelText(window, "content");
            waitingVisibleAtRetry << waitingVisible();
            const Answer answer = m_answers.isEmpty() ? Close : m_answers.takeFirst();
            m_waitingWasVisible = false;
            if (beforeRetryAnswer)
                beforeRetryAnswer();
            press(window, answer == Retry ? "tryBtn" : "closeBtn");
            return;
        } else if (qobject_cast<ErrorDlg*>(window)) {
            errorLines << labelText(window, "label_L3");
            press(window, "iknowBtn");
            return;
        }
    }
    m_waitingWasVisible = waitingSeen;
}
