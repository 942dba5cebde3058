#pragma once

#include "replay/controllers/ReplayCtrl.h"

class VideoReplayWidget;
class VlcInstance;
class VlcMedia;
class VlcMediaPlayer;

// Plays one recorded video of a lesson into a replay tile and keeps it in step with the replay clock. Ready once
// the player first plays (it is paused there, its length known); load failed when the player fails before that.
// While the clock lies outside the video's stretch of the timeline the player is paused and the tile shows the
// participant's picture.
//
// Every video controller plays through one shared libvlc instance, made by createVlcInstance before the first of
// them and released after the last.
class VlcReplayCtrl : public ReplayCtrl
{
    Q_OBJECT

public:
    // How far the player may drift from the clock before a seek moves it.
    static constexpr int maxDriftMs = 500;

    explicit VlcReplayCtrl(QObject* parent = nullptr);
    ~VlcReplayCtrl() override;

    // view: the VideoReplayWidget to draw into; media: the video's place on the timeline (required); member: the
    // participant (may be null), whose picture and name the tile then shows. Opens and starts the video. False,
    // with nothing made, without media, a tile or the shared instance.
    bool init(QObject* view, const ReplayMediaInfo* media, const UserInfo* member) override;
    void close() override;
    ReplayMediaInfo& mediaInfo() override { return m_media; }
    // false pauses at once; true takes effect at the next seek inside the video's stretch.
    void play(bool play) override;
    void stop() override;
    // Pauses and shows the picture outside [start, start + duration); inside, moves the player to the clock when
    // it drifted more than maxDriftMs and plays it when the replay is meant to play. Always true.
    bool seek(uint posMs, bool force) override;

    VlcMediaPlayer* mediaPlayer() const { return m_player; }

    // The shared instance, made on first use (parent: its owner); null when libvlc cannot be started. A
    // "plugins" folder beside the program must hold libvlc's plug-ins; without one, the system's are used.
    static VlcInstance* createVlcInstance(QObject* parent);
    // The shared instance or null; never makes it.
    static VlcInstance* currentVlcInstance();
    static void releaseVlcInstance();

public slots:
    void onVlcPlayerStateChanged();

private:
    // The video's length once it plays: libvlc's length of the medium, else the player's; 0 when neither knows.
    qint64 playingLength() const;

    VideoReplayWidget* m_tile = nullptr;
    ReplayMediaInfo m_media;
    bool m_playWish = false;
    VlcMediaPlayer* m_player = nullptr;
    VlcMedia* m_vlcMedia = nullptr;
    int m_lastPlayerState = 0;
};
