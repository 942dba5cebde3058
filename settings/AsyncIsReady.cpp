#include "settings/AsyncIsReady.h"

#include <QDebug>
#include <QThread>

void asyncIsReady(const std::function<int()>& isReady, int tries, int pauseSeconds,
                  const std::function<void(bool)>& outcome)
{
    int attempt = 0;
    int result = 0;
    while (attempt < tries) {
        result = isReady();
        if (result > 0)
            break;
        ++attempt;
        // No pause after the last answer: nothing is asked after it.
        if (attempt < tries)
            QThread::sleep(static_cast<unsigned long>(qMax(pauseSeconds, 0)));
    }
    qDebug() << "asyncIsReady Try Times is" << attempt;
    outcome(result > 0);
}
