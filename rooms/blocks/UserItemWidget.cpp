#include "rooms/blocks/UserItemWidget.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/LogHandler.h"
#include "net/http/HttpCurl.h"
#include "rooms/blocks/PortraitLoader.h"
#include "rooms/blocks/RoomBlocksResources.h"
#include "ui/common/ZmImageLabel.h"

#include <QBitmap>
#include <QDebug>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpacerItem>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char kStudentFallback[] = ":/res/student_default.png";
const char kTeacherFallback[] = ":/res/teacher_default.png";
const char kMicNormal[] = "QPushButton {border-image: url(:/imageRes/image/res/micphone.png);}QPushButton:hover "
                          "{border-image: url(:/imageRes/image/res/micphone_bright.png);}";
const char kMicMuted[] = "QPushButton {border-image: url(:/imageRes/image/res/micphone_mute.png);}QPushButton:hover "
                         "{border-image: url(:/imageRes/image/res/micphone_mute_bright.png);}";
constexpr int kMaxVolume = 255;

} // namespace

UserItemWidget::UserItemWidget(QWidget* parent)
    : UserItemWidget_Out(parent)
    , m_lastRewardClick(kRewardClickWindowMs, ClickGate::Start::ClosedFromNow)
{
    RoomBlocksResources::ensureLoaded();
    buildForm();
    m_handIcon->setPixmap(QPixmap(QStringLiteral(":/buttons/res/hand.png")));
    m_voiceIcon->setValue(0);
    m_voiceIcon->setMask(QBitmap(QStringLiteral(":/imageRes/image/res/volume_progress.bmp")));
}

UserItemWidget::~UserItemWidget() = default;

void UserItemWidget::buildForm()
{
    setObjectName(QStringLiteral("UserItemWidget"));
    resize(320, 60);

    m_itemBg = new QLabel(this);
    m_itemBg->setObjectName(QStringLiteral("itemBg"));
    m_itemBg->setGeometry(0, 0, 320, 60);
    m_itemBg->setScaledContents(true);
    m_itemBg->setPixmap(QPixmap(QStringLiteral(":/buttons/res/itemBg.png")));
    m_itemBgMask = new QLabel(this);
    m_itemBgMask->setObjectName(QStringLiteral("itemBgMask"));
    m_itemBgMask->setGeometry(0, 0, 320, 60);
    m_itemPanel = new QWidget(this);
    m_itemPanel->setObjectName(QStringLiteral("itemPanel"));
    m_itemPanel->setGeometry(0, 0, 320, 60);
    auto* grid = new QGridLayout(m_itemPanel);
    grid->setObjectName(QStringLiteral("gridLayout"));
    grid->setSpacing(0);
    grid->setContentsMargins(16, 1, 15, 1);

    auto* infoPanel = new QWidget(m_itemPanel);
    infoPanel->setObjectName(QStringLiteral("infoPanel"));
    infoPanel->setMaximumWidth(250);
    auto* infoGrid = new QGridLayout(infoPanel);
    infoGrid->setSpacing(0);
    infoGrid->setContentsMargins(0, 0, 0, 0);
    auto* leftIconPanel = new QWidget(infoPanel);
    leftIconPanel->setObjectName(QStringLiteral("leftIconPanel"));
    leftIconPanel->setFixedSize(32, 35);
    m_handIcon = new QLabel(leftIconPanel);
    m_handIcon->setObjectName(QStringLiteral("handIcon"));
    m_handIcon->setGeometry(0, 11, 12, 13);
    m_handIcon->setScaledContents(true);
    m_voiceIcon = new QProgressBar(leftIconPanel);
    m_voiceIcon->setObjectName(QStringLiteral("voiceIcon"));
    m_voiceIcon->setOrientation(Qt::Vertical);
    m_voiceIcon->setMinimumSize(4, 22);
    m_voiceIcon->setMaximumSize(5, 22);
    m_voiceIcon->setGeometry(4, 6, 5, 22);
    m_voiceIcon->setRange(0, 100);
    m_voiceIcon->setTextVisible(false);
    m_voiceIcon->setStyleSheet(QStringLiteral("QProgressBar{border:none;background-color:rgb(41, 57, 67);}"
                                              "QProgressBar::chunk{background-color:rgb(11, 199, 9);}"));
    m_portrait = new ZmImageLabel(infoPanel);
    m_portrait->setObjectName(QStringLiteral("img_portrait"));
    m_portrait->setFixedSize(35, 35);
    m_portrait->setScaledContents(true);
    auto* gap = new QWidget(infoPanel);
    gap->setObjectName(QStringLiteral("portraitGap"));
    gap->setFixedWidth(17);
    m_teacherLabel = new QWidget(infoPanel);
    m_teacherLabel->setObjectName(QStringLiteral("img_teacher"));
    m_teacherLabel->setFixedSize(23, 16);
    m_teacherLabel->setAttribute(Qt::WA_StyledBackground, true);
    m_teacherLabel->setStyleSheet(QStringLiteral("border-image: url(:/buttons/res/teacher_label.png);"));
    infoGrid->addWidget(leftIconPanel, 0, 0);
    infoGrid->addWidget(m_portrait, 0, 1);
    infoGrid->addWidget(gap, 0, 2);
    infoGrid->addWidget(m_teacherLabel, 0, 3);
    infoGrid->addItem(new QSpacerItem(7, 1, QSizePolicy::Fixed, QSizePolicy::Minimum), 0, 4);

    auto* widget1 = new QWidget(m_itemPanel);
    widget1->setObjectName(QStringLiteral("widget1"));
    auto* column = new QVBoxLayout(widget1);
    column->setSpacing(5);
    column->setContentsMargins(0, 6, 10, 6);
    m_name = new QLabel(widget1);
    m_name->setObjectName(QStringLiteral("label_name"));
    m_name->setMinimumWidth(5);
    m_name->setMaximumWidth(100);
    m_name->setFixedHeight(20);
    m_name->setWordWrap(false);
    m_name->setStyleSheet(QStringLiteral("color:#FFFFFF;font:14px \"Microsoft YaHei\";"));
    m_starPanel = new QWidget(widget1);
    m_starPanel->setObjectName(QStringLiteral("star_panel"));
    m_starPanel->setFixedHeight(23);
    auto* starRow = new QHBoxLayout(m_starPanel);
    starRow->setContentsMargins(0, 0, 0, 0);
    auto* widget2 = new QWidget(m_starPanel);
    widget2->setObjectName(QStringLiteral("widget2"));
    widget2->setMinimumSize(39, 16);
    widget2->setMaximumSize(100, 16);
    widget2->setAttribute(Qt::WA_StyledBackground, true);
    widget2->setStyleSheet(
        QStringLiteral("QWidget#widget2{background-color:#425D6B;border:1px solid #7B9CAE;border-radius:4px;}"));
    auto* counter = new QHBoxLayout(widget2);
    counter->setContentsMargins(6, 0, 6, 0);
    counter->setSpacing(4);
    auto* starIcon = new QLabel(widget2);
    starIcon->setObjectName(QStringLiteral("label_star"));
    starIcon->setFixedSize(10, 9);
    starIcon->setStyleSheet(QStringLiteral("border-image: url(:/imageRes/image/res/star_label.png);"));
    m_starNumber = new QLabel(widget2);
    m_starNumber->setObjectName(QStringLiteral("label_star_num"));
    m_starNumber->setMinimumSize(12, 9);
    m_starNumber->setStyleSheet(QStringLiteral("font:12px \"Microsoft YaHei\";color:#FFBD00;"));
    m_starNumber->setText(QStringLiteral("0"));
    counter->addWidget(starIcon);
    counter->addWidget(m_starNumber);
    starRow->addWidget(widget2);
    starRow->addStretch(1);
    column->addWidget(m_name);
    column->addWidget(m_starPanel);

    m_rewardButton = new QPushButton(m_itemPanel);
    m_rewardButton->setObjectName(QStringLiteral("btn_reward"));
    m_rewardButton->setFlat(true);
    m_rewardButton->setFixedSize(24, 24);
    m_rewardButton->setStyleSheet(QStringLiteral(
        "QPushButton{border-image: url(:/imageRes/image/res/star_button.png);}QPushButton:hover{border-image: "
        "url(:/imageRes/image/res/star_button_hilight.png);}"));
    m_micButton = new QPushButton(m_itemPanel);
    m_micButton->setObjectName(QStringLiteral("btn_micphone"));
    m_micButton->setFlat(true);
    m_micButton->setCheckable(false);
    m_micButton->setFixedSize(24, 24);
    m_micButton->setStyleSheet(QString::fromLatin1(kMicNormal));

    grid->addWidget(infoPanel, 0, 0);
    grid->addWidget(widget1, 0, 1);
    grid->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Minimum), 0, 2);
    grid->addWidget(m_rewardButton, 0, 3);
    grid->addItem(new QSpacerItem(8, 1, QSizePolicy::Fixed, QSizePolicy::Minimum), 0, 4);
    grid->addWidget(m_micButton, 0, 5);

    QMetaObject::connectSlotsByName(this);
}

void UserItemWidget::resizeEvent(QResizeEvent* event)
{
    UserItemWidget_Out::resizeEvent(event);
    // The list gives the row its width; the background and the panel follow it.
    const QRect whole = rect();
    m_itemBg->setGeometry(whole);
    m_itemBgMask->setGeometry(whole);
    m_itemPanel->setGeometry(whole);
}

void UserItemWidget::setName(const QString& name)
{
    m_name->ensurePolished();
    m_name->setText(m_name->fontMetrics().elidedText(name, Qt::ElideRight, kNameWidth, Qt::TextShowMnemonic));
}

QString UserItemWidget::shownName() const
{
    return m_name->text();
}

void UserItemWidget::setStudent(UserID_T id, QString name, QString portraitUrl, int starPoints)
{
    m_userId = id;
    setName(name);
    m_teacherLabel->hide();
    m_rewardButton->hide();
    m_starNumber->setText(QString::number(starPoints));
    loadPortrait(portraitUrl, QString::fromLatin1(kStudentFallback));
    setTalkState(m_talkState);
}

void UserItemWidget::setTeacher(UserID_T id, QString name, QString portraitUrl)
{
    m_userId = id;
    setName(name);
    m_teacherLabel->show();
    m_starPanel->hide();
    m_rewardButton->hide();
    loadPortrait(portraitUrl, QString::fromLatin1(kTeacherFallback));
    setTalkState(m_talkState);
}

bool UserItemWidget::isTeacherRow() const
{
    return m_userId != -1 && AppGlobalData::instance()->isTeacherId(m_userId);
}

void UserItemWidget::loadPortrait(const QString& url, const QString& fallback)
{
    m_portrait->setPixmap(QPixmap(fallback));
    m_portraitPath = fallback;
    if (!HttpCurl::isHttpAddress(QUrl(url))) {
        if (!url.isEmpty())
            qWarning() << "UserItemWidget::loadPortrait the portrait address is not a web address";
        return;
    }
    if (!m_portraitLoader) {
        m_portraitLoader = new PortraitLoader(this);
        connect(m_portraitLoader, &PortraitLoader::sigLoaded, this, &UserItemWidget::onPortraitLoaded);
    }
    m_portraitLoader->load(url, ConfigManager::instance()->getImageDir());
}

void UserItemWidget::onPortraitLoaded(const QString& path, const QImage& image)
{
    m_portrait->setPixmap(QPixmap::fromImage(image));
    m_portraitPath = path;
}

bool UserItemWidget::isLoadingPortrait() const
{
    return m_portraitLoader && m_portraitLoader->isLoading();
}

void UserItemWidget::setTalkState(int state)
{
    const bool localTeacher = AppGlobalData::instance()->isTeacher();
    const bool teacherRow = isTeacherRow();
    m_micHidden = true;
    m_micEnabled = true;
    m_rewardHidden = true;

    // Another state: the presets stay, and the look changes at the next refresh.
    if (state < TalkState_None || state > TalkState_Talking)
        return;
    m_handIcon->setVisible(state == TalkState_HandRaised);
    m_voiceIcon->setVisible(state == TalkState_Talking);
    m_talking = state == TalkState_Talking;
    if (teacherRow) {
        // The teacher's microphone shows in every state; only the teacher may click it. Its muted flag is
        // setMicMuted's alone.
        m_micHidden = false;
        m_micEnabled = localTeacher;
    } else if (state == TalkState_None) {
        m_micMuted = false;
    } else if (state == TalkState_HandRaised) {
        m_micHidden = !localTeacher;
        m_micMuted = true;
    } else {
        m_micHidden = false;
        m_micEnabled = localTeacher;
        m_micMuted = false;
        m_rewardHidden = !localTeacher;
    }
    if (m_talking)
        qDebug().noquote() << "setMicBtn_talking=true:" << m_name->text();
    m_talkState = state;
    updateMicButton();
    updateBackground();
    updateStars();
}

void UserItemWidget::updateMicButton()
{
    m_micButton->setVisible(!m_micHidden);
    m_micButton->setEnabled(m_micEnabled);
    if (m_micHidden)
        return;
    m_micButton->setToolTip(QString());
    if (m_micEnabled)
        m_micButton->setToolTip(m_talking ? tr("Close the microphone") : tr("Open the microphone"));
    if (m_micMuted) {
        m_micButton->setStyleSheet(QString::fromLatin1(kMicMuted));
        m_voiceIcon->hide();
    } else {
        m_micButton->setStyleSheet(QString::fromLatin1(kMicNormal));
        m_voiceIcon->show();
    }
}

void UserItemWidget::updateBackground()
{
    m_itemBgMask->setStyleSheet(m_talking ? QStringLiteral("background-color: rgba(74, 144, 226, 25)")
                                          : QStringLiteral("background-color: rgba(0, 0, 0, 0)"));
}

void UserItemWidget::updateStars()
{
    UserInfo member;
    if (!AppGlobalData::instance()->findUser(m_userId, member))
        return;
    m_starNumber->setText(QString::number(member.starPoint));
    if (!m_rewardHidden) {
        m_rewardButton->setEnabled(member.classPoint < kMaxClassPoints);
        m_rewardButton->show();
    } else {
        m_rewardButton->hide();
    }
}

void UserItemWidget::refreshStars()
{
    updateStars();
}

void UserItemWidget::setVolume(int volume)
{
    if (!m_talking)
        return;
    m_voiceIcon->setValue(std::clamp(volume, 0, kMaxVolume) * 100 / kMaxVolume);
}

void UserItemWidget::setMicMuted(bool muted)
{
    m_micMuted = muted;
    setTalkState(m_talkState);
}

void UserItemWidget::on_btn_micphone_clicked()
{
    logEmitSignal("sigMicBtnClicked");
    emit sigMicBtnClicked(m_userId);
}

void UserItemWidget::on_btn_reward_clicked()
{
    if (!m_lastRewardClick.tryAccept())
        return;
    UserInfo member;
    if (!AppGlobalData::instance()->findUser(m_userId, member))
        return;
    logEmitSignal("sigStartAddPoints");
    emit sigStartAddPoints(m_userId, 1);
}
