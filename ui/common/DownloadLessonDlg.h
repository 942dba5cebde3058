#pragma once

#include "ui/common/ModalDialog.h"

namespace Ui {
class DownloadLessonDlg;
}

// The progress of an offline lesson package download: a label, a bar and a time line. No buttons; the
// downloader shows it without blocking and lets it go when the download ends.
class DownloadLessonDlg : public ModalDialog
{
    Q_OBJECT

public:
    explicit DownloadLessonDlg(QWidget* parent = nullptr);
    ~DownloadLessonDlg() override;

public slots:
    // With a known size (total > 0) the bar shows received * 100 / total; without one the bar turns into a
    // busy indicator and the labels say the time left is unknown.
    void updateProgress(qlonglong received, qlonglong total);

private:
    Ui::DownloadLessonDlg* ui;
};
