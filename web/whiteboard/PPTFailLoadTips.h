#pragma once

#include <QWidget>

namespace Ui {
class PPTFailLoadTips;
}

// The courseware load-failure panel laid over the whiteboard page: the failure headline, five remedies and a
// "Click to Refresh" link that asks the page host to reload.
class PPTFailLoadTips : public QWidget
{
    Q_OBJECT

public:
    explicit PPTFailLoadTips(QWidget* parent = nullptr);
    ~PPTFailLoadTips() override;

signals:
    void signal_reload_page();

public slots:
    void onReloadPage();

private:
    Ui::PPTFailLoadTips* ui;
};
