#include "platform/WindowSystem.h"

#include <QtGlobal>

QByteArray Platform::windowSystemFor(const QByteArray& qpaPlatform, const QByteArray& display)
{
    if (!qpaPlatform.isEmpty() || display.isEmpty())
        return QByteArray();
    return QByteArrayLiteral("xcb");
}

void Platform::chooseWindowSystem()
{
    const QByteArray chosen = windowSystemFor(qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"));
    if (!chosen.isEmpty())
        qputenv("QT_QPA_PLATFORM", chosen);
}
