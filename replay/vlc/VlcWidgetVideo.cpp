#include "replay/vlc/VlcWidgetVideo.h"

#include "replay/vlc/VlcMediaPlayer.h"

#include <QPalette>

VlcWidgetVideo::VlcWidgetVideo(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_NoSystemBackground);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
}

VlcWidgetVideo::~VlcWidgetVideo()
{
    // A player that outlives its surface must not go on drawing into a destroyed window.
    if (m_player && m_player->videoWidget() == this) {
        m_player->stop();
        m_player->setVideoWidget(nullptr);
    }
}

void VlcWidgetVideo::setMediaPlayer(VlcMediaPlayer* player)
{
    m_player = player;
}

VlcMediaPlayer* VlcWidgetVideo::mediaPlayer() const
{
    return m_player;
}

WId VlcWidgetVideo::request()
{
    return winId();
}

void VlcWidgetVideo::release()
{
    update();
}
