#include "ui/common/UpgradeDlg.h"

#include "ui/common/UiResources.h"

#include "ui_UpgradeDlg.h"

#include <QMouseEvent>

namespace {

// The standard message-box values this dialog knows, in the order they become buttons.
struct ButtonKind
{
    int code;
    const char* text;
};

const ButtonKind kButtonKinds[] = {
    {0x400, QT_TRANSLATE_NOOP("UpgradeDlg", "OK")},        {0x800000, QT_TRANSLATE_NOOP("UpgradeDlg", "Discard")},
    {0x400000, QT_TRANSLATE_NOOP("UpgradeDlg", "Cancel")}, {0x4000, QT_TRANSLATE_NOOP("UpgradeDlg", "Yes")},
    {0x10000, QT_TRANSLATE_NOOP("UpgradeDlg", "No")},
};

const char* textForCode(int code)
{
    for (const ButtonKind& kind : kButtonKinds) {
        if (kind.code == code)
            return kind.text;
    }
    return "";
}

} // namespace

UpgradeDlg::UpgradeDlg(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::UpgradeDlg)
{
    UiResources::ensureLoaded();
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::Dialog);
    m_buttons[0] = ui->button1;
    m_buttons[1] = ui->button2;
    m_buttons[2] = ui->button3;
}

UpgradeDlg::UpgradeDlg(const QString& title, const QString& text, int flags, QWidget* parent)
    : UpgradeDlg(parent)
{
    setContent(title, text, flags);
}

UpgradeDlg::~UpgradeDlg()
{
    delete ui;
}

void UpgradeDlg::setContent(const QString& title, const QString& text, int flags)
{
    ui->lbl_dialog_title->setText(title);
    ui->lbl_content->setText(text);

    switch (flags & 7) {
    case 0:
        ui->widget_icon->hide();
        break;
    case 1:
    case 2:
    case 4:
        ui->widget_icon->setStyleSheet(QStringLiteral("border-image: url(:/buttons/res/box_warning.png);"));
        break;
    case 3:
        ui->widget_icon->setStyleSheet(QStringLiteral("border-image: url(:/buttons/res/box_critical.png);"));
        break;
    default:
        break;
    }

    for (int& code : m_codes)
        code = 0;
    m_codeCount = 0;
    for (const ButtonKind& kind : kButtonKinds) {
        if ((flags & kind.code) != 0)
            m_codes[m_codeCount++] = kind.code;
    }
    if (m_codeCount == 0)
        return;

    for (int i = 0; i < kButtonCount; ++i) {
        if (m_codes[i] != 0)
            m_buttons[i]->setText(tr(textForCode(m_codes[i])));
        else
            m_buttons[i]->hide();
    }
    placeButtons();
}

void UpgradeDlg::placeButtons()
{
    if (m_codeCount < 1 || m_codeCount > kButtonCount)
        return;
    const int dialogWidth = width();
    const int buttonWidth = ui->button1->width();
    int left[kButtonCount] = {};
    if (m_codeCount == 1) {
        left[0] = (dialogWidth - buttonWidth) / 2;
    } else if (m_codeCount == 2) {
        const int gap = buttonWidth / 3;
        left[0] = (dialogWidth - 2 * buttonWidth - gap) / 2;
        left[1] = left[0] + buttonWidth + gap;
    } else {
        const int gap = buttonWidth / 5;
        left[0] = (dialogWidth - 3 * buttonWidth - 2 * gap) / 2;
        left[1] = left[0] + buttonWidth + gap;
        left[2] = left[1] + buttonWidth + gap;
    }
    for (int i = 0; i < m_codeCount; ++i) {
        const QRect geometry = m_buttons[i]->geometry();
        m_buttons[i]->setGeometry(left[i], geometry.top(), geometry.width(), geometry.height());
    }
}

void UpgradeDlg::acceptWithButton(int index)
{
    m_clickedCode = m_codes[index];
    accept();
}

void UpgradeDlg::on_button1_clicked()
{
    acceptWithButton(0);
}

void UpgradeDlg::on_button2_clicked()
{
    acceptWithButton(1);
}

void UpgradeDlg::on_button3_clicked()
{
    acceptWithButton(2);
}

void UpgradeDlg::on_btn_close_clicked()
{
    reject();
}

void UpgradeDlg::mousePressEvent(QMouseEvent* event)
{
    const QRect bar(ui->widget_bar->mapToGlobal(QPoint(0, 0)), ui->widget_bar->size());
    if (bar.contains(event->globalPos()))
        m_dragOffset = event->globalPos() - pos();
    else
        m_dragOffset = QPoint(0, 0);
}

void UpgradeDlg::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragOffset = QPoint(0, 0);
    QDialog::mouseReleaseEvent(event);
}

void UpgradeDlg::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragOffset.isNull())
        move(event->globalPos() - m_dragOffset);
}
