#pragma once

#include "ui/common/ModalDialog.h"

#include <QList>
#include <QStringList>

class QCheckBox;

namespace Ui {
class FeedbackOnlineDlg;
}

// The in-class feedback form: one check box per issue the class service offers for the user's role, "Others"
// with a free text, Submit (result 1) and Cancel / close / Escape (result 0). It only collects: the opener reads
// the getters in its done callback and sends them.
class FeedbackOnlineDlg : public ModalDialog
{
    Q_OBJECT

public:
    // Longest Others text handed over, in UTF-16 code units.
    static constexpr int kOtherTextLimit = 200;

    // What the user chose and wrote: the checked rows' texts, the Others box and its whole text.
    struct Choices
    {
        QStringList checkedRows;
        bool otherChecked = false;
        QString otherText;
    };

    // Asks the class service for the issues (getFeedbackConfig); a failed request leaves no issue rows.
    explicit FeedbackOnlineDlg(QWidget* parent = nullptr);
    ~FeedbackOnlineDlg() override;

    // True, with the row's text, when the row exists and is checked.
    bool getCheckedItemText(int index, QString& text) const;

    // True, with the Others text cut to kOtherTextLimit, when "Others" is checked; text is untouched otherwise.
    bool getOtherText(QString& text) const;

    // The rows' check boxes in display order (the list itself is a copy).
    QList<QCheckBox*> getCheckBoxList() const { return m_checkBoxes; }
    // The same list, under the name the title bar's flow uses.
    QList<QCheckBox*> feedbackItems() const { return getCheckBoxList(); }

    Choices choices() const;
    // Checks the rows whose texts are among the choices' (rows no longer offered are passed over) and restores the
    // Others box and text; Submit follows as if the user had done it.
    void setChoices(const Choices& choices);

    // The first limit code units of text, one fewer when the cut would split a surrogate pair.
    static QString cutText(const QString& text, int limit);

private slots:
    void onClickOK();
    void onClickCancel();
    void onClickClose();
    void onTextChanged();
    void onValueChanged();

private:
    void addIssueRows(const QStringList& issues);

    Ui::FeedbackOnlineDlg* ui;
    QList<QCheckBox*> m_checkBoxes;
};
