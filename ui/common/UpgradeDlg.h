#pragma once

#include <QDialog>
#include <QPoint>

class QPushButton;

namespace Ui {
class UpgradeDlg;
}

// The program's own message box: a frameless, draggable dialog with an orange title strip, a close button,
// an optional warning or critical icon, a message and up to three buttons, all chosen by one integer made
// like standard message-box flags (icon in the low three bits, standard-button bits above). Run it with
// exec() and read clickedButton() afterwards.
class UpgradeDlg : public QDialog
{
    Q_OBJECT

public:
    explicit UpgradeDlg(QWidget* parent = nullptr);
    UpgradeDlg(const QString& title, const QString& text, int flags, QWidget* parent = nullptr);
    ~UpgradeDlg() override;

    void setContent(const QString& title, const QString& text, int flags);

    // The standard-button value of the button that closed the dialog; 0 when closed otherwise.
    int clickedButton() const { return m_clickedCode; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private slots:
    void on_button1_clicked();
    void on_button2_clicked();
    void on_button3_clicked();
    void on_btn_close_clicked();

private:
    static constexpr int kButtonCount = 3;
    static constexpr int kMaxCodes = 5;

    void acceptWithButton(int index);
    void placeButtons();

    Ui::UpgradeDlg* ui;
    QPoint m_dragOffset;
    QPushButton* m_buttons[kButtonCount] = {};
    int m_codes[kMaxCodes] = {};
    int m_codeCount = 0;
    int m_clickedCode = 0;
};
