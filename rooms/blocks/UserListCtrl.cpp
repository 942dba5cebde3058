#include "rooms/blocks/UserListCtrl.h"

#include "app/AppGlobalData.h"
#include "app/LogHandler.h"
#include "app/StringUtil.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/messages/PublicMsgInterface.h"
#include "live/messages/StudentMsgInterface.h"
#include "live/messages/TeacherMsgInterface.h"
#include "net/api/ZmNetAPI.h"
#include "rooms/blocks/AwardAnimation.h"
#include "rooms/blocks/ClassMessageLinks.h"
#include "rooms/blocks/TranslucentDialog.h"
#include "rooms/blocks/UserItemWidget_Out.h"
#include "rooms/blocks/UserListWidget.h"

#include <QDebug>

namespace {

constexpr int kMaxClassPoints = 5;
constexpr char kRaisingColour[] = "#FF713F";
constexpr char kTitleColour[] = "rgb(50,69,79)";

} // namespace

UserListCtrl::UserListCtrl(QObject* parent)
    : QObject(parent)
{
    registerRoomMemberTypes();
}

UserListCtrl::~UserListCtrl()
{
    disconnectFromClassMessages(this);
    m_awardQueue.clear();
}

AwardAnimation* UserListCtrl::playingAward() const
{
    return m_awardAnimation;
}

TranslucentDialog* UserListCtrl::awardOverlay() const
{
    return m_awardOverlay;
}

bool UserListCtrl::init(UserListWidget* panel, QWidget* overlayParent)
{
    setListWidget(panel);
    m_overlayParent = overlayParent;
    if (PublicMsgInterface* messages = ClassMsgEngine::getPublicMsgInterface()) {
        connect(messages, SIGNAL(sigStudentsTalkInfoChanged()), this, SLOT(onStudentsTalkInfoChanged()));
        connect(messages, SIGNAL(sigReceiveMsgTeacherMuteAudio(int, bool)), this,
                SLOT(onReceiveMsgTeacherMuteAudio(int, bool)));
    }
    if (!AppGlobalData::instance()->isTeacher()) {
        if (StudentMsgInterface* messages = ClassMsgEngine::getStudentMsgInterface())
            connect(messages, SIGNAL(sigReceiveMsgTeacherAwardPoints(int, int, int, int)), this,
                    SLOT(onReceiveMsgTeacherAwardPoints_PushToList(int, int, int, int)), Qt::QueuedConnection);
    }
    connect(this, SIGNAL(sigAwardPoints_popFront()), this, SLOT(onAwardPoints_popFront()), Qt::QueuedConnection);
    return true;
}

bool UserListCtrl::setListWidget(UserListWidget* panel)
{
    m_panel = panel;
    if (panel)
        panel->show();
    AppGlobalData* data = AppGlobalData::instance();
    syncAllUserInfo(data->teacherInfo(), data->memberMap());
    return true;
}

bool UserListCtrl::syncAllUserInfo(const UserInfo* teacher, const QMap<int, UserInfo>* members)
{
    if (!m_panel || !teacher || !members)
        return false;
    AppGlobalData* data = AppGlobalData::instance();

    const UserID_T teacherId = StringUtil::wstringToLong(teacher->userId);
    const bool present = data->isTeacher() ? true : bool(data->teacherPresent);
    UserItemWidget_Out* teacherRow = m_panel->addTeacher(teacherId, teacher->displayName(), teacher->portrait);
    connect(teacherRow, SIGNAL(sigMicBtnClicked(UserID_T)), this, SLOT(onMicBtnClicked(UserID_T)));
    teacherRow->setTalkState(TalkState_Talking);
    teacherRow->setMicMuted(!present);

    int count = 0;
    const QMap<int, UserInfo> copy = *members;
    for (const UserInfo& member : copy) {
        if (member.accountType == 2)
            continue;
        qDebug().noquote() << "UserListCtrl::syncAllUserInfo " + QString::number(count) + " : " + member.cnNickName;
        const UserID_T id = StringUtil::wstringToLong(member.userId);
        if (m_panel->findItem(id)) {
            qDebug() << "UserListCtrl::syncAllUserInfo User Is Exist!";
            continue;
        }
        ++count;
        UserItemWidget_Out* row = m_panel->addUser(id, member.displayName(), member.portrait, member.starPoint);
        connect(row, SIGNAL(sigMicBtnClicked(UserID_T)), this, SLOT(onMicBtnClicked(UserID_T)));
        connect(row, SIGNAL(sigStartAddPoints(UserID_T, int)), this, SLOT(onStartAddPoints(UserID_T, int)));
        row->setTalkState(TalkState_None);
    }
    m_panel->sortItems();
    m_panel->setTitle(tr("Members") + QStringLiteral(" (") + QString::number(count + 1) + QStringLiteral(")"));
    return true;
}

void UserListCtrl::setUserMicMuted(UserID_T id, bool muted)
{
    if (!m_panel)
        return;
    if (UserItemWidget_Out* row = m_panel->findUserWidget(id))
        row->setMicMuted(muted);
}

void UserListCtrl::setUserVolume(UserID_T id, int volume)
{
    if (m_panel)
        m_panel->setUserVolume(id, volume);
}

void UserListCtrl::onStudentsTalkInfoChanged()
{
    if (!m_panel)
        return;
    int raising = 0;
    int total = 0;
    const QMap<int, UserInfo> copy = *AppGlobalData::instance()->memberMap();
    for (const UserInfo& member : copy) {
        UserItemWidget_Out* row = m_panel->findUserWidget(StringUtil::wstringToLong(member.userId));
        if (!row)
            continue;
        row->setTalkState(member.talkState);
        row->setSortKey(member.talkOrder);
        if (member.talkState == TalkState_HandRaised)
            ++raising;
        ++total;
    }
    if (AppGlobalData::instance()->isTeacher() && raising > 0)
        m_panel->setTitleStyle(tr("%1 student(s) raising the hands").arg(raising), true,
                               QString::fromLatin1(kRaisingColour));
    else
        m_panel->setTitleStyle(tr("Members (%1)").arg(total + 1), false, QString::fromLatin1(kTitleColour));
    m_panel->sortItems();
}

void UserListCtrl::onReceiveMsgTeacherMuteAudio(int nTeacherID, bool bMute)
{
    setUserMicMuted(nTeacherID, bMute);
}

void UserListCtrl::onMicBtnClicked(UserID_T nStudentID)
{
    UserItemWidget_Out* row = m_panel ? m_panel->findUserWidget(nStudentID) : nullptr;
    if (!row)
        return;
    UserInfo member;
    if (!AppGlobalData::instance()->findUserOrSelf(nStudentID, member))
        return;
    if (member.accountType != 1 && member.accountType != 2)
        return;
    TeacherMsgInterface* messages = ClassMsgEngine::getTeacherMsgInterface();
    if (!messages)
        return;
    if (member.accountType == 1) {
        if (row->talkState() == TalkState_Talking)
            messages->sendStopStudentMicrophone(nStudentID);
        else
            messages->sendOpenStudentMicrophone(nStudentID);
    } else {
        // The row changes when the message comes back.
        messages->sendTeacherAudio(!row->isMicMuted());
    }
}

void UserListCtrl::onStartAddPoints(UserID_T nStudentID, int nPoints)
{
    AppGlobalData* data = AppGlobalData::instance();
    if (!data->isTeacher())
        return;
    UserInfoMap* members = data->memberMap();
    const auto member = members->find(nStudentID);
    if (member == members->end() || member->classPoint >= kMaxClassPoints)
        return;
    if (ZmNetAPI::instance()->submitClassStudentPoint(nStudentID, nPoints) != 0) {
        qWarning() << "UserListCtrl::onStartAddPoints the service refused the star for" << nStudentID;
        return;
    }
    // The call ran the event loop: the record is looked up again.
    const auto awarded = members->find(nStudentID);
    if (awarded == members->end())
        return;
    awarded->classPoint += nPoints;
    const int total = awarded->classPoint;
    if (TeacherMsgInterface* messages = ClassMsgEngine::getTeacherMsgInterface())
        messages->sendAwardPoints(nStudentID, nPoints, total);
    onReceiveMsgTeacherAwardPoints_PushToList(data->teacherIdAsInt(), nStudentID, nPoints, total);
}

void UserListCtrl::onReceiveMsgTeacherAwardPoints_PushToList(int nTeacherID, int nStudentID, int nAddPoints,
                                                             int nTotalPoints)
{
    Q_UNUSED(nAddPoints)
    if (nTeacherID != -1 && !AwardAnimation::acceptsTotal(nTotalPoints)) {
        qWarning() << "UserListCtrl award refused: no count of stars before the total" << nTotalPoints;
        return;
    }
    if (nTeacherID != -1)
        m_awardQueue.append(AwardItem{nTeacherID, nStudentID, nTotalPoints});
    if (!m_awardAnimation)
        askForNextAward();
}

void UserListCtrl::askForNextAward()
{
    logEmitSignal("sigAwardPoints_popFront");
    emit sigAwardPoints_popFront();
}

void UserListCtrl::onAwardPoints_popFront()
{
    if (m_awardAnimation) {
        qDebug() << "processOneMsg_teacherAwardPointsToAllStudent"
                 << " m_pAwardAnimation !=nullptr";
        return;
    }
    if (m_awardQueue.isEmpty())
        return;
    const AwardItem award = m_awardQueue.takeFirst();

    AppGlobalData* data = AppGlobalData::instance();
    UserInfoMap* members = data->memberMap();
    const auto member = members->find(award.studentId);
    if (member == members->end()) {
        // Dropped; the awards behind it go on.
        qWarning() << "UserListCtrl::onAwardPoints_popFront no member" << award.studentId << "- award dropped";
        if (!m_awardQueue.isEmpty())
            askForNextAward();
        return;
    }
    member->starPoint = award.totalPoints;
    if (data->isStudent())
        member->classPoint = award.totalPoints;
    const QString name = member->displayName();
    const int stars = member->starPoint;

    QString portrait;
    if (UserItemWidget_Out* row = m_panel ? m_panel->findUserWidget(award.studentId) : nullptr) {
        row->refreshStars();
        portrait = row->portraitPath();
    }

    if ((data->isTeacher() && data->screenShareOn) || !m_overlayParent) {
        if (!m_awardQueue.isEmpty())
            askForNextAward();
        return;
    }

    m_awardOverlay = new TranslucentDialog(m_overlayParent);
    m_awardOverlay->setBackdropWithoutCompositor(true);
    m_awardOverlay->setGeometry(QRect(m_overlayParent->mapToGlobal(QPoint(0, 0)), m_overlayParent->size()));
    m_awardOverlay->show();

    m_awardAnimation = new AwardAnimation(m_awardOverlay);
    connect(m_awardAnimation, SIGNAL(sigAnimationFinished()), this, SLOT(onAwardPoints_animationFinished()),
            Qt::QueuedConnection);
    const int width = m_awardOverlay->width();
    m_awardAnimation->setFixedSize(width, width * 9 / 16 + 64);
    m_awardAnimation->show();
    // Every queued total has a count before it (the push refused the others).
    m_awardAnimation->start(name, portrait, stars - 1);
}

void UserListCtrl::onAwardPoints_animationFinished()
{
    // Only the award now playing ends (a direct call counts as it).
    if (sender() && sender() != m_awardAnimation)
        return;
    if (m_awardAnimation) {
        m_awardAnimation->hide();
        m_awardAnimation->deleteLater();
        m_awardAnimation = nullptr;
    }
    if (m_awardOverlay) {
        m_awardOverlay->close();
        m_awardOverlay->deleteLater();
        m_awardOverlay = nullptr;
    }
    if (!m_awardQueue.isEmpty())
        askForNextAward();
}
