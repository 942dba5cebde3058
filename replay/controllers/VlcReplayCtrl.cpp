#include "replay/controllers/VlcReplayCtrl.h"

#include "app/records/UserInfo.h"
#include "replay/vlc/VlcCommon.h"
#include "replay/vlc/VlcInstance.h"
#include "replay/vlc/VlcMedia.h"
#include "replay/vlc/VlcMediaPlayer.h"
#include "replay/vlc/VlcWidgetVideo.h"
#include "replay/widgets/VideoReplayWidget.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QPointer>

#include <limits>

namespace {

QPointer<VlcInstance>& sharedInstance()
{
    static QPointer<VlcInstance> instance;
    return instance;
}

const char* const studentPicture = ":/imageRes/image/res/student2.png";
const char* const teacherPicture = ":/imageRes/image/res/teacher2.png";

} // namespace

VlcReplayCtrl::VlcReplayCtrl(QObject* parent)
    : ReplayCtrl(parent)
{
}

VlcReplayCtrl::~VlcReplayCtrl()
{
    delete m_vlcMedia;
    delete m_player;
}

VlcInstance* VlcReplayCtrl::createVlcInstance(QObject* parent)
{
    if (sharedInstance())
        return sharedInstance();
    const QString pluginPath = QCoreApplication::applicationDirPath() + QStringLiteral("/plugins");
    qunsetenv("VLC_PLUGIN_PATH");
    if (QFileInfo(pluginPath).isDir() && !VlcCommon::setPluginPath(pluginPath)) {
        qWarning() << "VlcReplayCtrl::createVlcInstance: no libvlc plug-ins in" << pluginPath;
        return nullptr;
    }
    auto* instance = new VlcInstance(VlcCommon::args(), parent);
    if (!instance->isValid()) {
        delete instance;
        return nullptr;
    }
    sharedInstance() = instance;
    return instance;
}

VlcInstance* VlcReplayCtrl::currentVlcInstance()
{
    return sharedInstance();
}

void VlcReplayCtrl::releaseVlcInstance()
{
    delete sharedInstance().data();
    sharedInstance() = nullptr;
}

bool VlcReplayCtrl::init(QObject* view, const ReplayMediaInfo* media, const UserInfo* member)
{
    if (!media)
        return false;
    VlcInstance* instance = currentVlcInstance();
    if (!instance)
        return false;
    auto* tile = qobject_cast<VideoReplayWidget*>(view);
    if (!tile) {
        qWarning() << "VlcReplayCtrl::init: no video tile to draw into";
        return false;
    }
    m_tile = tile;
    if (member) {
        m_tile->setUserImage(QString::fromLatin1(member->accountType == 1 ? studentPicture : teacherPicture));
        m_tile->setUserName(member->displayName());
    }
    m_player = new VlcMediaPlayer(instance);
    VlcWidgetVideo* surface = m_tile->videoSurface();
    m_player->setVideoWidget(surface);
    surface->setMediaPlayer(m_player);
    m_media = *media;
    m_vlcMedia = new VlcMedia(m_media.url, instance);
    // Connected before the player opens, so that no report is missed.
    connect(m_player, SIGNAL(stateChanged()), this, SLOT(onVlcPlayerStateChanged()));
    if (m_media.url.isEmpty() || !m_vlcMedia->isValid() || !m_player->isValid()) {
        // Nothing to open: the player would never report. The failure is announced from the event loop, to the
        // listeners that connect after init.
        qWarning() << "VlcReplayCtrl::init: no video to open at" << m_media.url;
        QMetaObject::invokeMethod(
            this, [this] { setState(ReplayerState_LoadFailed); }, Qt::QueuedConnection);
        return true;
    }
    m_player->open(m_vlcMedia);
    return true;
}

void VlcReplayCtrl::onVlcPlayerStateChanged()
{
    const int playerState = m_player->state();
    if (playerState == m_lastPlayerState)
        return;
    m_lastPlayerState = playerState;
    switch (playerState) {
    case Vlc::Opening:
        if (state() == ReplayerState_Initial)
            setState(ReplayerState_Loading);
        break;
    case Vlc::Playing:
        if (state() == ReplayerState_Loading) {
            const qint64 length = playingLength();
            if (length <= 0) {
                qWarning() << "VlcReplayCtrl: the length of" << m_media.url << "is unknown; it cannot be replayed";
                m_player->stop();
                setState(ReplayerState_LoadFailed);
                break;
            }
            m_media.duration = static_cast<qint32>(qMin<qint64>(length, std::numeric_limits<qint32>::max()));
            m_player->pause();
            setState(ReplayerState_Ready);
        } else {
            m_tile->setUserImageVisible(false);
        }
        break;
    case Vlc::Error:
        if (state() == ReplayerState_Initial || state() == ReplayerState_Loading)
            setState(ReplayerState_LoadFailed);
        break;
    default:
        break;
    }
}

qint64 VlcReplayCtrl::playingLength() const
{
    const qint64 duration = m_vlcMedia->duration();
    return duration > 0 ? duration : m_player->length();
}

bool VlcReplayCtrl::seek(uint posMs, bool /*force*/)
{
    if (!m_player)
        return true;
    const auto rel = static_cast<qint32>(static_cast<quint32>(posMs) - static_cast<quint32>(m_media.start));
    if (rel < 0 || rel >= m_media.duration) {
        m_player->pause();
        m_tile->setUserImageVisible(true);
        return true;
    }
    const Vlc::State playerState = m_player->state();
    if (playerState == Vlc::Ended)
        m_player->openOnly(m_vlcMedia);
    if (qAbs(static_cast<qint64>(rel) - m_player->time()) > maxDriftMs)
        m_player->setTime(rel);
    if (m_playWish && playerState != Vlc::Playing)
        m_player->play();
    return true;
}

void VlcReplayCtrl::play(bool play)
{
    m_playWish = play;
    if (!play && m_player)
        m_player->pause();
}

void VlcReplayCtrl::stop()
{
    m_playWish = false;
    if (m_player)
        m_player->stop();
}

void VlcReplayCtrl::close()
{
    if (m_player)
        m_player->stop();
}
