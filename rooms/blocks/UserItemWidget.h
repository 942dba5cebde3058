#pragma once

#include "rooms/blocks/ClickGate.h"
#include "rooms/blocks/UserItemWidget_Out.h"

class PortraitLoader;
class QLabel;
class QProgressBar;
class QPushButton;

// A member row: portrait, name, star count, raised-hand icon, live volume bar, microphone button and (on the
// teacher's client, for talking students) the reward button. Its look follows from four things: the talk state,
// whether the local user is the teacher, whether it is the teacher's row, and the muted flag; every change
// re-applies the whole look through setTalkState().
//
// The portrait is fetched off the GUI thread; until it arrives (and for good when it cannot be fetched) the row
// shows the fallback picture and portraitPath() names it.
class UserItemWidget : public UserItemWidget_Out
{
    Q_OBJECT

public:
    static constexpr int kNameWidth = 92;
    static constexpr int kMaxClassPoints = 5;
    static constexpr int kRewardClickWindowMs = 1000;

    explicit UserItemWidget(QWidget* parent = nullptr);
    ~UserItemWidget() override;

    void setTeacher(UserID_T id, QString name, QString portraitUrl) override;
    void setStudent(UserID_T id, QString name, QString portraitUrl, int starPoints) override;
    UserID_T userId() const override { return m_userId; }
    QString portraitPath() const override { return m_portraitPath; }
    void setTalkState(int state) override;
    int talkState() const override { return m_talkState; }
    void setVolume(int volume) override;
    void setMicMuted(bool muted) override;
    bool isMicMuted() const override { return m_micMuted; }
    void setSortKey(int key) override { m_sortKey = key; }
    void refreshStars() override;

    int sortKey() const override { return m_sortKey; }
    QString shownName() const override;
    bool isTeacherRow() const override;

    // True while the portrait is being fetched.
    bool isLoadingPortrait() const;

public slots:
    void on_btn_micphone_clicked();
    void on_btn_reward_clicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildForm();
    void setName(const QString& name);
    void loadPortrait(const QString& url, const QString& fallback);
    void onPortraitLoaded(const QString& path, const QImage& image);
    void updateMicButton();
    void updateBackground();
    void updateStars();

    UserID_T m_userId = -1;

    QLabel* m_itemBg = nullptr;
    QLabel* m_itemBgMask = nullptr;
    QWidget* m_itemPanel = nullptr;
    QLabel* m_handIcon = nullptr;
    QProgressBar* m_voiceIcon = nullptr;
    QLabel* m_portrait = nullptr;
    QWidget* m_teacherLabel = nullptr;
    QLabel* m_name = nullptr;
    QWidget* m_starPanel = nullptr;
    QLabel* m_starNumber = nullptr;
    QPushButton* m_rewardButton = nullptr;
    QPushButton* m_micButton = nullptr;

    int m_talkState = 0;
    bool m_micHidden = false;
    bool m_talking = false;
    bool m_micEnabled = true;
    bool m_micMuted = false;
    bool m_rewardHidden = false;
    int m_sortKey = -1;
    ClickGate m_lastRewardClick;
    QString m_portraitPath;
    PortraitLoader* m_portraitLoader = nullptr;
};
