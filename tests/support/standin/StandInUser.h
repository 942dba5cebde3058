#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

// Stands in for the person at a program that a test starts: clicks the named buttons in their order, each once, as
// soon as a button of that name shows enabled in a visible window. Logs every click with the texts its window shows.
class StandInUser : public QObject
{
    Q_OBJECT

public:
    explicit StandInUser(const QStringList& buttons);

private:
    // Clicks the next button when it shows.
    void look();

    QStringList m_buttons;
    QTimer m_timer;
};
