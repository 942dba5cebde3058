#include "rooms/normal/ZmVideoDlg.h"

#include "rooms/blocks/VideoDisplayWidget.h"
#include "rooms/widgets/CoursewareViewer.h"

#include <QCoreApplication>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {

const char kStyleSheet[] = R"(#tvObj { border-image: url(:/imageRes/image/res/teacher2.png); }
#svObj { border-image: url(:/imageRes/image/res/student2.png); }
#videoPanel, #titlePanel { background-color: #32454F; border-top-left-radius: 5px; border-top-right-radius: 5px; }
#btn_exit, #btn_reset, #btn_setting, #btn_help { font: 13px "Microsoft YaHei"; color: #FFFFFF;
    background-color: #436678; border: none; border-radius: 8px; padding: 0 10px; }
#btn_exit:hover, #btn_reset:hover, #btn_setting:hover, #btn_help:hover { background-color: #4F7A8F; }
#btn_exit:pressed, #btn_reset:pressed, #btn_setting:pressed, #btn_help:pressed { background-color: #3A5968; }
#lessonTitle { font: 24px "Microsoft YaHei"; color: #FF713F; })";

QPushButton* titleButton(QWidget* parent, const char* name, const char* icon)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setMinimumSize(84, 28);
    button->setMaximumHeight(28);
    button->setIcon(QIcon(QLatin1String(icon)));
    button->setIconSize(QSize(14, 17));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

void Ui::ZmVideoDlg::setupUi(QDialog* dialog)
{
    if (dialog->objectName().isEmpty())
        dialog->setObjectName(QStringLiteral("ZmVideoDlg"));
    dialog->setMinimumSize(1366, 768);
    dialog->setBaseSize(1094, 704);
    dialog->setStyleSheet(QLatin1String(kStyleSheet));

    gridLayout = new QGridLayout(dialog);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setHorizontalSpacing(10);
    gridLayout->setVerticalSpacing(0);
    gridLayout->setContentsMargins(10, 40, 10, 25);

    titlePanel = new QWidget(dialog);
    titlePanel->setObjectName(QStringLiteral("titlePanel"));
    titlePanel->setAttribute(Qt::WA_StyledBackground, true);
    titlePanel->setMinimumHeight(64);
    titleLayout = new QHBoxLayout(titlePanel);
    titleLayout->setObjectName(QStringLiteral("titleLayout"));
    titleLayout->setSpacing(16);
    titleLayout->setContentsMargins(16, 0, 16, 0);
    btn_exit = titleButton(titlePanel, "btn_exit", ":/imageRes/image/res/classTitle_exit@1x.png");
    titleLayout->addWidget(btn_exit);
    lessonTitle = new QLabel(titlePanel);
    lessonTitle->setObjectName(QStringLiteral("lessonTitle"));
    lessonTitle->setMinimumSize(40, 64);
    lessonTitle->setMaximumHeight(64);
    lessonTitle->setTextFormat(Qt::AutoText);
    titleLayout->addWidget(lessonTitle);
    titleLayout->addItem(new QSpacerItem(20, 40, QSizePolicy::Expanding, QSizePolicy::Minimum));
    btn_reset = titleButton(titlePanel, "btn_reset", ":/imageRes/image/res/classTitle_refresh@1x.png");
    titleLayout->addWidget(btn_reset);
    btn_setting = titleButton(titlePanel, "btn_setting", ":/imageRes/image/res/classTitle_set@1x.png");
    titleLayout->addWidget(btn_setting);
    btn_help = titleButton(titlePanel, "btn_help", ":/imageRes/image/res/classTitle_feedback@1x.png");
    titleLayout->addWidget(btn_help);
    gridLayout->addWidget(titlePanel, 0, 0, 1, 2);

    courseware = new CoursewareViewer(dialog);
    courseware->setObjectName(QStringLiteral("courseware"));
    gridLayout->addWidget(courseware, 1, 0, Qt::AlignRight | Qt::AlignTop);

    videoPanel = new QWidget(dialog);
    videoPanel->setObjectName(QStringLiteral("videoPanel"));
    videoPanel->setAttribute(Qt::WA_StyledBackground, true);
    videoLayout = new QVBoxLayout(videoPanel);
    videoLayout->setObjectName(QStringLiteral("videoLayout"));
    videoLayout->setSpacing(10);
    videoLayout->setContentsMargins(0, 0, 0, 0);
    topVideo = new VideoDisplayWidget(videoPanel);
    topVideo->setObjectName(QStringLiteral("topVideo"));
    topVideo->setMinimumSize(40, 30);
    videoLayout->addWidget(topVideo);
    bottomVideo = new VideoDisplayWidget(videoPanel);
    bottomVideo->setObjectName(QStringLiteral("bottomVideo"));
    bottomVideo->setMinimumSize(40, 30);
    videoLayout->addWidget(bottomVideo);
    videoLayout->addStretch();
    gridLayout->addWidget(videoPanel, 1, 1, Qt::AlignLeft | Qt::AlignTop);
    gridLayout->setRowStretch(1, 1);

    retranslateUi(dialog);
}

void Ui::ZmVideoDlg::retranslateUi(QDialog* dialog)
{
    dialog->setWindowTitle(QCoreApplication::translate("ZmVideoDlg", "ZmQuillo - Class Room"));
    btn_exit->setText(QCoreApplication::translate("ZmVideoDlg", "Exit"));
    lessonTitle->setText(QStringLiteral("TitleTitleTitleTitleTitleTitleTitle"));
    btn_reset->setText(QCoreApplication::translate("ZmVideoDlg", "Reset"));
    btn_setting->setText(QCoreApplication::translate("ZmVideoDlg", "Setting"));
    btn_help->setText(QCoreApplication::translate("ZmVideoDlg", "Help"));
}
