#pragma once

class CoursewareViewer;
class QDialog;
class QFrame;
class QGridLayout;
class QWidget;
class RaiseHandWidget;
class UserListWidget;
class VideoDisplayWidget;

// The widgets of the public class room, built in code with their fixed object names: the courseware on the
// left, and on the right a panel with the teacher's tile above the member panel, which holds the member list
// and the raise-hand button.
struct PublicRoomForm
{
    QGridLayout* gridLayout_2 = nullptr;
    CoursewareViewer* courseware = nullptr;
    QWidget* rightPanel = nullptr;
    QGridLayout* gridLayout = nullptr;
    VideoDisplayWidget* teacher_video = nullptr;
    QFrame* userPanel = nullptr;
    UserListWidget* userListWidget = nullptr;
    RaiseHandWidget* raiseHandWidget = nullptr;

    // Builds the widgets into room (named "PublicClassRoom", 1366 x 768, base size 1094 x 704) and sets its
    // window title.
    void setupUi(QDialog* room);
    // The window title in the current language.
    void retranslateUi(QDialog* room);
};
