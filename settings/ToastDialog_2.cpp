#include "settings/ToastDialog_2.h"

ToastDialog_2::ToastDialog_2(QWidget* parent)
    : ToastDialog(parent)
{
}

void ToastDialog_2::showToast(int type, const QString& text)
{
    ToastDialog::showToast(type, text);
    QWidget* parent = parentWidget();
    if (!parent)
        return;
    const QPoint centred((parent->width() - width()) / 2, (parent->height() - height()) / 2);
    move(parent->mapToGlobal(centred));
}

void ToastDialog_2::hideToast()
{
    ToastDialog::hideToast();
    deleteLater();
}
