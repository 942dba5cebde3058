#include "settings/FeedbackOnlineDlg.h"

#include "net/api/ZmNetAPI.h"
#include "settings/FeedbackOnlineItem.h"

#include "ui_FeedbackOnlineDlg.h"

#include <QCheckBox>
#include <QDebug>
#include <QListWidgetItem>

namespace {
const int kRowHeight = 28;
}

FeedbackOnlineDlg::FeedbackOnlineDlg(QWidget* parent)
    : ModalDialog(parent)
    , ui(new Ui::FeedbackOnlineDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::Tool);

    QStringList issues;
    const int result = ZmNetAPI::instance()->getFeedbackConfig(issues);
    if (result != 0)
        qWarning() << "FeedbackOnlineDlg::FeedbackOnlineDlg no issue list, getFeedbackConfig gave" << result;
    addIssueRows(issues);

    connect(ui->okBtn, &QPushButton::clicked, this, &FeedbackOnlineDlg::onClickOK);
    connect(ui->cancelBtn, &QPushButton::clicked, this, &FeedbackOnlineDlg::onClickCancel);
    connect(ui->closeBtn, &QPushButton::clicked, this, &FeedbackOnlineDlg::onClickClose);
    connect(ui->other_textEdit, &QTextEdit::textChanged, this, &FeedbackOnlineDlg::onTextChanged);
    ui->other_exceeded->setVisible(false);
    ui->okBtn->setEnabled(false);
}

FeedbackOnlineDlg::~FeedbackOnlineDlg()
{
    delete ui;
}

void FeedbackOnlineDlg::addIssueRows(const QStringList& issues)
{
    // Tall enough for every row, so the list never scrolls.
    ui->common_listWidget->setMinimumSize(ui->common_listWidget->width(), kRowHeight * issues.size());
    for (const QString& issue : issues) {
        auto* item = new QListWidgetItem(ui->common_listWidget);
        item->setSizeHint(QSize(0, kRowHeight));
        auto* row = new FeedbackOnlineItem(issue);
        ui->common_listWidget->setItemWidget(item, row);
        QCheckBox* checkBox = row->getCheckBox();
        connect(checkBox, &QCheckBox::stateChanged, this, &FeedbackOnlineDlg::onValueChanged);
        m_checkBoxes.append(checkBox);
    }
}

bool FeedbackOnlineDlg::getCheckedItemText(int index, QString& text) const
{
    if (index < 0 || index >= m_checkBoxes.size() || !m_checkBoxes.at(index)->isChecked())
        return false;
    text = m_checkBoxes.at(index)->text();
    return true;
}

bool FeedbackOnlineDlg::getOtherText(QString& text) const
{
    if (!ui->other_checkBox->isChecked())
        return false;
    text = cutText(ui->other_textEdit->toPlainText(), kOtherTextLimit);
    return true;
}

FeedbackOnlineDlg::Choices FeedbackOnlineDlg::choices() const
{
    Choices choices;
    for (const QCheckBox* checkBox : m_checkBoxes) {
        if (checkBox->isChecked())
            choices.checkedRows << checkBox->text();
    }
    choices.otherChecked = ui->other_checkBox->isChecked();
    choices.otherText = ui->other_textEdit->toPlainText();
    return choices;
}

void FeedbackOnlineDlg::setChoices(const Choices& choices)
{
    for (QCheckBox* checkBox : qAsConst(m_checkBoxes))
        checkBox->setChecked(choices.checkedRows.contains(checkBox->text()));
    // Typing checks Others; the box is set after the text.
    if (!choices.otherText.isEmpty())
        ui->other_textEdit->setPlainText(choices.otherText);
    ui->other_checkBox->setChecked(choices.otherChecked);
    onValueChanged();
}

QString FeedbackOnlineDlg::cutText(const QString& text, int limit)
{
    if (text.size() <= limit)
        return text;
    int length = limit;
    if (length > 0 && text.at(length - 1).isHighSurrogate() && text.at(length).isLowSurrogate())
        --length;
    return text.left(length);
}

void FeedbackOnlineDlg::onClickOK()
{
    done(1);
}

void FeedbackOnlineDlg::onClickCancel()
{
    done(0);
}

void FeedbackOnlineDlg::onClickClose()
{
    done(0);
}

void FeedbackOnlineDlg::onTextChanged()
{
    const QString text = ui->other_textEdit->toPlainText();
    ui->other_exceeded->setVisible(text.size() > kOtherTextLimit);
    ui->other_checkBox->setChecked(true);
    onValueChanged();
}

void FeedbackOnlineDlg::onValueChanged()
{
    for (const QCheckBox* checkBox : qAsConst(m_checkBoxes)) {
        if (checkBox->isChecked()) {
            ui->okBtn->setEnabled(true);
            return;
        }
    }
    ui->okBtn->setEnabled(!ui->other_textEdit->toPlainText().isEmpty());
}
