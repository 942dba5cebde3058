#pragma once

class CoursewareViewer;
class QDialog;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;
class QWidget;
class VideoDisplayWidget;

namespace Ui {

// The form of the normal class room ("ZmVideoDlg"), built in code: a title row (exit, lesson title, reset,
// settings, help) over the courseware and, beside it, the panel with the two video tiles.
class ZmVideoDlg
{
public:
    QGridLayout* gridLayout = nullptr;
    QWidget* titlePanel = nullptr;
    QHBoxLayout* titleLayout = nullptr;
    QPushButton* btn_exit = nullptr;
    QLabel* lessonTitle = nullptr;
    QPushButton* btn_reset = nullptr;
    QPushButton* btn_setting = nullptr;
    QPushButton* btn_help = nullptr;
    CoursewareViewer* courseware = nullptr;
    QWidget* videoPanel = nullptr;
    QVBoxLayout* videoLayout = nullptr;
    VideoDisplayWidget* topVideo = nullptr;
    VideoDisplayWidget* bottomVideo = nullptr;

    void setupUi(QDialog* dialog);
    void retranslateUi(QDialog* dialog);
};

} // namespace Ui
