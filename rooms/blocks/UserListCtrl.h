#pragma once

#include "app/records/UserInfo.h"
#include "rooms/blocks/RoomMemberTypes.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>

class AwardAnimation;
class TranslucentDialog;
class UserListWidget;

// One award waiting to be shown.
struct AwardItem
{
    int teacherId;
    int studentId;
    int totalPoints;
};

// The member list's controller in the public class room. It builds the rows once from the application data's
// member records, follows the class messages (talk list, teacher mute, awards), turns row clicks into class
// messages and service calls, and plays awards one at a time: each over the overlay parent (the courseware) in a
// translucent host dialog. It drives the panel without owning it; the room deletes the controller first.
class UserListCtrl : public QObject
{
    Q_OBJECT

public:
    explicit UserListCtrl(QObject* parent = nullptr);
    ~UserListCtrl() override;

    // Takes the panel and the overlay parent and connects to the message interfaces; true.
    bool init(UserListWidget* panel, QWidget* overlayParent);
    // Takes and shows the panel, then builds the rows from the application data; true.
    bool setListWidget(UserListWidget* panel);
    // Builds the rows: the teacher's, then one per student in id order (ids that have a row already are
    // skipped). False without a panel or either record.
    bool syncAllUserInfo(const UserInfo* teacher, const QMap<int, UserInfo>* members);
    // The row shows that member's microphone as muted (or not); the room shows an absent teacher this way.
    void setUserMicMuted(UserID_T id, bool muted);
    void setUserVolume(UserID_T id, int volume);

    // The award now playing and its host dialog (null while idle), and the awards waiting.
    AwardAnimation* playingAward() const;
    TranslucentDialog* awardOverlay() const;
    QList<AwardItem> queuedAwards() const { return m_awardQueue; }

signals:
    void sigAwardPoints_popFront();

public slots:
    void onStudentsTalkInfoChanged();
    void onReceiveMsgTeacherMuteAudio(int nTeacherID, bool bMute);
    void onMicBtnClicked(UserID_T nStudentID);
    void onStartAddPoints(UserID_T nStudentID, int nPoints);
    void onReceiveMsgTeacherAwardPoints_PushToList(int nTeacherID, int nStudentID, int nAddPoints, int nTotalPoints);
    void onAwardPoints_popFront();
    void onAwardPoints_animationFinished();

private:
    void askForNextAward();

    QPointer<UserListWidget> m_panel;
    QPointer<QWidget> m_overlayParent;
    QList<AwardItem> m_awardQueue;
    // Children of the overlay parent: they go with it.
    QPointer<AwardAnimation> m_awardAnimation;
    QPointer<TranslucentDialog> m_awardOverlay;
};
