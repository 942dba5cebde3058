#pragma once

#include <QMetaType>
#include <QObject>
#include <QString>

struct UserInfo;

// How far a replay controller has come with its medium. Composites fold their children's states into their own.
enum ReplayerState : int
{
    ReplayerState_Initial = 0,     // nothing loaded yet
    ReplayerState_Loading = 1,     // the medium is being opened or the page loaded
    ReplayerState_Ready = 2,       // loaded, paused at its beginning, length known
    ReplayerState_LoadFailed = 3,  // it cannot be played
    ReplayerState_Stalled = 7,     // a composite's child stalled: the window stops its clock
    ReplayerState_MayContinue = 8, // every child of a composite may go on
};
Q_DECLARE_METATYPE(ReplayerState)

// Where one medium lies on the lesson's timeline, in milliseconds.
struct ReplayMediaInfo
{
    QString url;      // a video's location; the whiteboard's page address; empty for a composite
    qint32 start = 0; // where the medium begins on the timeline
    qint32 duration = 0;
};

// What plays back part of a recorded lesson: one video, the whiteboard page, or a composite that drives several
// of them together. The creator calls init once, then play, stop and seek in any order, and close before it
// deletes the controller. Every controller reports its progress through stateChanged, only when the state
// changes. GUI thread only.
class ReplayCtrl : public QObject
{
    Q_OBJECT

public:
    explicit ReplayCtrl(QObject* parent = nullptr);
    ~ReplayCtrl() override;

    // view: what the medium is shown in (a video tile, the whiteboard page); media: where it lies on the
    // timeline; member: whose video it is. What each may be depends on the controller.
    virtual bool init(QObject* view, const ReplayMediaInfo* media, const UserInfo* member) = 0;
    virtual void close() = 0;
    virtual ReplayerState state() const;
    virtual ReplayMediaInfo& mediaInfo() = 0;
    // Whether the replay is meant to be playing.
    virtual void play(bool play) = 0;
    virtual void stop() = 0;
    // Moves the medium to the position on the lesson's timeline; force marks a jump made by the user, as against
    // a tick of the window's clock.
    virtual bool seek(uint posMs, bool force) = 0;

signals:
    void stateChanged(ReplayCtrl* pCtrl, ReplayerState state);

protected:
    // Stores the state and announces it; the same state again changes nothing.
    virtual void setState(ReplayerState state);

private:
    ReplayerState m_state = ReplayerState_Initial;
};
