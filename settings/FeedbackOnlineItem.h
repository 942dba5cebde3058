#pragma once

#include <QWidget>

class QCheckBox;

namespace Ui {
class FeedbackOnlineItem;
}

// One issue row of the feedback form: a check box carrying the issue text.
class FeedbackOnlineItem : public QWidget
{
    Q_OBJECT

public:
    explicit FeedbackOnlineItem(const QString& text, QWidget* parent = nullptr);
    ~FeedbackOnlineItem() override;

    QCheckBox* getCheckBox() const;

private:
    Ui::FeedbackOnlineItem* ui;
};
