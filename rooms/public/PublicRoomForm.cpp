#include "rooms/public/PublicRoomForm.h"

#include "rooms/blocks/RaiseHandWidget.h"
#include "rooms/blocks/UserListWidget.h"
#include "rooms/blocks/VideoDisplayWidget.h"
#include "rooms/public/PublicRoomLayout.h"
#include "rooms/widgets/CoursewareViewer.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFrame>
#include <QGridLayout>
#include <QSpacerItem>

void PublicRoomForm::setupUi(QDialog* room)
{
    room->setObjectName(QStringLiteral("PublicClassRoom"));
    room->resize(1366, 768);
    room->setBaseSize(1094, 704);
    room->setMinimumSize(0, 0);

    gridLayout_2 = new QGridLayout(room);
    gridLayout_2->setObjectName(QStringLiteral("gridLayout_2"));
    gridLayout_2->setHorizontalSpacing(30);
    gridLayout_2->setVerticalSpacing(0);
    gridLayout_2->setContentsMargins(30, 40, 30, 30);

    courseware = new CoursewareViewer(room);
    courseware->setObjectName(QStringLiteral("courseware"));
    gridLayout_2->addWidget(courseware, 2, 1);

    rightPanel = new QWidget(room);
    rightPanel->setObjectName(QStringLiteral("rightPanel"));
    rightPanel->setFixedWidth(PublicRoomLayout::kRightPanelWidth);
    gridLayout_2->addWidget(rightPanel, 1, 2, 2, 1);

    gridLayout = new QGridLayout(rightPanel);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setHorizontalSpacing(0);
    gridLayout->setVerticalSpacing(30);
    gridLayout->setContentsMargins(0, 0, 0, 0);

    teacher_video = new VideoDisplayWidget(rightPanel);
    teacher_video->setObjectName(QStringLiteral("teacher_video"));
    QSizePolicy tilePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    tilePolicy.setHorizontalStretch(5);
    tilePolicy.setVerticalStretch(5);
    teacher_video->setSizePolicy(tilePolicy);
    teacher_video->setFixedSize(PublicRoomLayout::kRightPanelWidth, PublicRoomLayout::kTeacherTileHeight);
    gridLayout->addWidget(teacher_video, 0, 0);

    userPanel = new QFrame(rightPanel);
    userPanel->setObjectName(QStringLiteral("userPanel"));
    userPanel->setStyleSheet(
        QStringLiteral("QFrame#userPanel\n{\n\tborder-top-left-radius: 5px;\n\tborder-top-right-radius: 5px;\n}"));
    gridLayout->addWidget(userPanel, 1, 0);

    userListWidget = new UserListWidget(userPanel);
    userListWidget->setObjectName(QStringLiteral("userListWidget"));
    userListWidget->setGeometry(0, 0, 100, 30);

    raiseHandWidget = new RaiseHandWidget(userPanel);
    raiseHandWidget->setObjectName(QStringLiteral("raiseHandWidget"));
    raiseHandWidget->setGeometry(40, 80, 101, 131);

    gridLayout_2->addItem(new QSpacerItem(40, 600, QSizePolicy::Expanding, QSizePolicy::Minimum), 2, 0);
    gridLayout_2->addItem(new QSpacerItem(40, 600, QSizePolicy::Expanding, QSizePolicy::Minimum), 2, 3);
    gridLayout_2->addItem(new QSpacerItem(1098, 25, QSizePolicy::Minimum, QSizePolicy::Expanding), 0, 1, 1, 2);
    gridLayout_2->addItem(new QSpacerItem(1098, 20, QSizePolicy::Minimum, QSizePolicy::Expanding), 3, 1, 1, 2);

    retranslateUi(room);
}

void PublicRoomForm::retranslateUi(QDialog* room)
{
    room->setWindowTitle(QCoreApplication::translate("PublicClassRoom", "ZmQuillo - Class Room"));
}
