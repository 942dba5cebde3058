#include "app/startup/InformationBox.h"

#include <QDebug>
#include <QMessageBox>
#include <QTimer>

void showInformationBox(const QString& title, const QString& text)
{
    qInfo().noquote() << QStringLiteral("showInformationBox \"%1\": %2").arg(title, text);
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Yes);
    bool ok = false;
    const int autoCloseMs = qEnvironmentVariableIntValue("ZM_MESSAGE_BOX_AUTOCLOSE_MS", &ok);
    if (ok && autoCloseMs >= 0)
        QTimer::singleShot(autoCloseMs, &box, [&box] { box.done(QMessageBox::Yes); });
    box.exec();
}
