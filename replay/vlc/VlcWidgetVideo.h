#pragma once

#include "replay/vlc/VlcVideoDelegate.h"

#include <QPointer>
#include <QWidget>

class VlcMediaPlayer;

// A black native child widget that a media player draws its video into through the widget's X11 window. It does
// not make its ancestors native. Its siblings become native too, so that those laid over it (made after it) stay
// above the video; the holder keeps them from making the ancestors native (Qt::WA_DontCreateNativeAncestors).
class VlcWidgetVideo : public QWidget, public VlcVideoDelegate
{
    Q_OBJECT

public:
    explicit VlcWidgetVideo(QWidget* parent = nullptr);
    ~VlcWidgetVideo() override;

    // The player that draws here (not owned; the player is told about this widget with setVideoWidget).
    void setMediaPlayer(VlcMediaPlayer* player);
    VlcMediaPlayer* mediaPlayer() const;

    WId request() override;
    void release() override;

private:
    QPointer<VlcMediaPlayer> m_player;
};
