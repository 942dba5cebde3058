#include "ui/common/DownloadLessonDlg.h"

#include "ui_DownloadLessonDlg.h"

#include <limits>

DownloadLessonDlg::DownloadLessonDlg(QWidget* parent)
    : ModalDialog(parent)
    , ui(new Ui::DownloadLessonDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(minimumSizeHint());
}

DownloadLessonDlg::~DownloadLessonDlg()
{
    delete ui;
}

void DownloadLessonDlg::updateProgress(qlonglong received, qlonglong total)
{
    if (total > 0) {
        const qlonglong percent = received * 100 / total;
        ui->progressBar->setRange(0, 100);
        // The bar ignores values above 100; clamping keeps a huge quotient from wrapping into 0..100 as an int.
        ui->progressBar->setValue(
            int(qBound<qlonglong>(std::numeric_limits<int>::min(), percent, std::numeric_limits<int>::max())));
        return;
    }
    ui->progressBar->setRange(0, 0);
    ui->progressBar->setValue(-1);
    ui->downloadLabel->setText(tr("Downloading Updates") + QStringLiteral("..."));
    ui->timeLabel->setText(QStringLiteral("%1: %2").arg(tr("Time Remaining"), tr("Unknown")));
}
