#pragma once

#include <QDialog>

class QTimer;

namespace Ui {
class ToastDialog;
}

// A frameless, translucent one-line notice in a coloured rounded box that hides itself after three seconds.
// The owner keeps one and reuses it; a derived toast may place itself by overriding showToast/hideToast.
class ToastDialog : public QDialog
{
    Q_OBJECT

public:
    enum ToastType
    {
        Success = 0,
        Warning = 1,
        Error = 2
    };

    explicit ToastDialog(QWidget* parent = nullptr);
    ~ToastDialog() override;

    // Styles the box by type (another type keeps the current colours), shows the text, fixes the width to
    // the text's width + 96, shows the toast and (re)starts the three-second hide timer.
    virtual void showToast(int type, const QString& text);
    // Stops the timer, hides the toast and emits sigToastShowTimeOut().
    virtual void hideToast();

signals:
    void sigToastShowTimeOut();

private slots:
    void onTimeout();

private:
    Ui::ToastDialog* ui;
    QTimer* m_hideTimer;
};
