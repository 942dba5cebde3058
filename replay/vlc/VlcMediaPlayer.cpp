#include "replay/vlc/VlcMediaPlayer.h"

#include "replay/vlc/VlcInstance.h"
#include "replay/vlc/VlcMedia.h"
#include "replay/vlc/VlcVideoDelegate.h"

#include <QDebug>
#include <QMetaObject>

#include <vlc/vlc.h>

namespace {

constexpr libvlc_event_e stateEvents[] = {
    libvlc_MediaPlayerNothingSpecial,   libvlc_MediaPlayerOpening, libvlc_MediaPlayerPlaying,
    libvlc_MediaPlayerPaused,           libvlc_MediaPlayerStopped, libvlc_MediaPlayerEndReached,
    libvlc_MediaPlayerEncounteredError,
};

} // namespace

VlcMediaPlayer::VlcMediaPlayer(VlcInstance* instance, QObject* parent)
    : QObject(parent)
{
    if (!instance || !instance->core()) {
        qWarning() << "VlcMediaPlayer: no libvlc instance";
        return;
    }
    m_core = libvlc_media_player_new(instance->core());
    if (!m_core) {
        qWarning() << "VlcMediaPlayer: libvlc made no player" << libvlc_errmsg();
        return;
    }
    // Mouse and keys reach the widgets, not libvlc.
    libvlc_video_set_key_input(m_core, 0);
    libvlc_video_set_mouse_input(m_core, 0);
    libvlc_event_manager_t* events = libvlc_media_player_event_manager(m_core);
    for (libvlc_event_e type : stateEvents)
        libvlc_event_attach(events, type, &VlcMediaPlayer::onLibvlcEvent, this);
}

VlcMediaPlayer::~VlcMediaPlayer()
{
    if (!m_core)
        return;
    // After the detach no callback runs any more: libvlc calls them under the lock the detach takes.
    libvlc_event_manager_t* events = libvlc_media_player_event_manager(m_core);
    for (libvlc_event_e type : stateEvents)
        libvlc_event_detach(events, type, &VlcMediaPlayer::onLibvlcEvent, this);
    libvlc_media_player_stop(m_core);
    libvlc_media_player_release(m_core);
}

void VlcMediaPlayer::onLibvlcEvent(const libvlc_event_t* event, void* data)
{
    auto* player = static_cast<VlcMediaPlayer*>(data);
    Vlc::State state = Vlc::Idle;
    switch (event->type) {
    case libvlc_MediaPlayerOpening:
        state = Vlc::Opening;
        break;
    case libvlc_MediaPlayerPlaying:
        state = Vlc::Playing;
        break;
    case libvlc_MediaPlayerPaused:
        state = Vlc::Paused;
        break;
    case libvlc_MediaPlayerStopped:
        // An input that ended or failed by itself is followed by a stop that only says it is gone; libvlc
        // keeps the player ended, and so does this layer.
        if (player->m_reported == Vlc::Ended || player->m_reported == Vlc::Error)
            return;
        state = Vlc::Stopped;
        break;
    case libvlc_MediaPlayerEndReached:
        state = Vlc::Ended;
        break;
    case libvlc_MediaPlayerEncounteredError:
        state = Vlc::Error;
        break;
    default:
        state = Vlc::Idle;
        break;
    }
    player->report(state);
}

void VlcMediaPlayer::report(Vlc::State state)
{
    m_reported = state;
    QMetaObject::invokeMethod(
        this, [this, state] { deliver(state); }, Qt::QueuedConnection);
}

void VlcMediaPlayer::deliver(Vlc::State state)
{
    m_state = state;
    emit stateChanged();
}

void VlcMediaPlayer::setVideoWidget(VlcVideoDelegate* widget)
{
    if (m_videoWidget && m_videoWidget != widget)
        m_videoWidget->release();
    m_videoWidget = widget;
    applyVideoWidget();
}

void VlcMediaPlayer::applyVideoWidget()
{
    if (m_core)
        libvlc_media_player_set_xwindow(m_core, m_videoWidget ? static_cast<uint32_t>(m_videoWidget->request()) : 0);
}

void VlcMediaPlayer::setMedia(VlcMedia* media)
{
    m_media = media;
    if (!m_core)
        return;
    applyVideoWidget();
    libvlc_media_player_set_media(m_core, media ? media->core() : nullptr);
    // libvlc makes a player with a new medium idle without telling.
    if (m_reported != Vlc::Idle)
        report(Vlc::Idle);
}

void VlcMediaPlayer::open(VlcMedia* media)
{
    setMedia(media);
    play();
}

void VlcMediaPlayer::openOnly(VlcMedia* media)
{
    setMedia(media);
}

VlcMedia* VlcMediaPlayer::currentMedia() const
{
    return m_media;
}

void VlcMediaPlayer::play()
{
    if (m_core && libvlc_media_player_play(m_core) != 0)
        qWarning() << "VlcMediaPlayer: libvlc cannot play" << (m_media ? m_media->location() : QString());
}

void VlcMediaPlayer::pause()
{
    if (m_core)
        libvlc_media_player_set_pause(m_core, 1);
}

void VlcMediaPlayer::stop()
{
    if (m_core)
        libvlc_media_player_stop(m_core);
}

int VlcMediaPlayer::time() const
{
    if (!m_core)
        return 0;
    const libvlc_time_t time = libvlc_media_player_get_time(m_core);
    return time > 0 ? static_cast<int>(time) : 0;
}

void VlcMediaPlayer::setTime(int milliseconds)
{
    if (m_core)
        libvlc_media_player_set_time(m_core, milliseconds);
}

qint64 VlcMediaPlayer::length() const
{
    if (!m_core)
        return 0;
    const libvlc_time_t length = libvlc_media_player_get_length(m_core);
    return length > 0 ? length : 0;
}
