#include "rooms/blocks/TranslucentDialog.h"

TranslucentDialog::TranslucentDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::Tool);
    setAttribute(Qt::WA_TranslucentBackground, true);
    setAttribute(Qt::WA_NoSystemBackground, false);
    setStyleSheet(QStringLiteral("QDialog { background-color: transparent; }"));
}

TranslucentDialog::~TranslucentDialog() = default;
