#pragma once

#include "rooms/blocks/RoomMemberTypes.h"

#include <QString>
#include <QWidget>

// One row of the member list as the list and its controller see it: filled once as the teacher's or a student's
// row, then driven by talk state, microphone state, volume and stars. It reports the microphone and reward
// clicks and knows nothing of class messages. UserItemWidget is the implementation.
class UserItemWidget_Out : public QWidget
{
    Q_OBJECT

public:
    explicit UserItemWidget_Out(QWidget* parent = nullptr);
    ~UserItemWidget_Out() override;

    // What the list orders by.
    virtual int sortKey() const = 0;
    // The name as shown (elided).
    virtual QString shownName() const = 0;
    // True for the row of the lesson's teacher.
    virtual bool isTeacherRow() const = 0;
    // The order of the list: the teacher's row first, then the greater sort key (the later talk-list place; -1,
    // not listed, last), then the smaller shown name (UTF-16 code units, case sensitive).
    bool lessThan(const UserItemWidget_Out& other) const;

signals:
    void sigMicBtnClicked(UserID_T userID);
    void sigStartAddPoints(UserID_T userID, int nPoints);

public slots:
    virtual void setTeacher(UserID_T id, QString name, QString portraitUrl) = 0;
    virtual void setStudent(UserID_T id, QString name, QString portraitUrl, int starPoints) = 0;
    virtual UserID_T userId() const = 0;
    // The local picture file (or resource) of the portrait now shown.
    virtual QString portraitPath() const = 0;
    virtual void setTalkState(int state) = 0;
    virtual int talkState() const = 0;
    // 0 to 255 from the RTC volume report.
    virtual void setVolume(int volume) = 0;
    virtual void setMicMuted(bool muted) = 0;
    virtual bool isMicMuted() const = 0;
    // Stored only: the list moves the row at its next sort.
    virtual void setSortKey(int key) = 0;
    // Shows the member's star points again and allows rewards below five class points.
    virtual void refreshStars() = 0;
};
