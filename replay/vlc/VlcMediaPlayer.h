#pragma once

#include "replay/vlc/Vlc.h"

#include <QObject>
#include <QPointer>

#include <atomic>

class VlcInstance;
class VlcMedia;
class VlcVideoDelegate;
struct libvlc_event_t;
struct libvlc_media_player_t;

// A libvlc media player. Its calls return at once; libvlc opens, plays and seeks on its own threads and reports
// each state change through stateChanged(). Those reports reach this object's thread queued, in the order libvlc
// made them, and state() is the state of the report being delivered (the last one delivered), so a listener sees
// every state the player passed through, however fast.
class VlcMediaPlayer : public QObject
{
    Q_OBJECT

public:
    explicit VlcMediaPlayer(VlcInstance* instance, QObject* parent = nullptr);
    ~VlcMediaPlayer() override;

    bool isValid() const { return m_core != nullptr; }
    libvlc_media_player_t* core() const { return m_core; }

    // Where the video goes, asked for its window before every open (none: libvlc opens a window of its own).
    void setVideoWidget(VlcVideoDelegate* widget);
    VlcVideoDelegate* videoWidget() const { return m_videoWidget; }

    // Opens the medium and starts playing it.
    void open(VlcMedia* media);
    // Opens the medium without playing it: the player is idle with the medium until play().
    void openOnly(VlcMedia* media);
    VlcMedia* currentMedia() const;

    void play();
    // Pauses a playing player (libvlc stops a stream that cannot pause); a paused, stopped or ended one stays as it
    // is: it never resumes.
    void pause();
    void stop();

    Vlc::State state() const { return m_state; }

    // Position and length of the medium in milliseconds; 0 when unknown.
    int time() const;
    void setTime(int milliseconds);
    qint64 length() const;

signals:
    void stateChanged();

private:
    static void onLibvlcEvent(const libvlc_event_t* event, void* data);
    // Queues the state for delivery on this object's thread.
    void report(Vlc::State state);
    void deliver(Vlc::State state);
    void applyVideoWidget();
    void setMedia(VlcMedia* media);

    libvlc_media_player_t* m_core = nullptr;
    VlcVideoDelegate* m_videoWidget = nullptr;
    QPointer<VlcMedia> m_media;
    Vlc::State m_state = Vlc::Idle;
    // The state last reported by libvlc, read and written by its event callbacks only (which it runs one at a
    // time) and by the calls that change the state without an event.
    std::atomic<int> m_reported{Vlc::Idle};
};
