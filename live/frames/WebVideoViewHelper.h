#pragma once

#include "live/rtc/engine/IMediaEngine.h"

#include <QObject>
#include <QRecursiveMutex>
#include <QString>

#include <map>
#include <memory>
#include <set>
#include <string>

class CShareFrameWriter;

// One page video view: the plug-in element that shows a user, and the shared section its frames go into.
struct WebVideoViewEntry
{
    QString viewId;                            // the page element's id
    QString sectionName;                       // empty until the first frame
    std::unique_ptr<CShareFrameWriter> writer; // null until the first frame
    bool reportedOpenFailure = false;
    bool reportedDroppedFrame = false;
};

// Which page plug-in element shows which user, and the writing of each user's frames into that element's shared
// section. The page announces and withdraws elements (GUI thread); frames arrive on the engine's video threads.
// The table is guarded by one recursive mutex, held while a frame is written, so an entry and its writer never go
// away under a frame.
//
// The shared objects of a section stay while this helper lives (or until clearViews()), also after the entries
// that used them are gone: a view hidden and shown again under its id reopens the same section, which the
// plug-in's reader still holds. Two users shown in one element share its section. clearViews() and the destructor
// unlink every section this helper used that no other helper in the program uses.
class WebVideoViewHelper : public QObject
{
    Q_OBJECT

public:
    using VideoFrame = agora::media::IVideoFrameObserver::VideoFrame;

    explicit WebVideoViewHelper(QObject* parent = nullptr);
    ~WebVideoViewHelper() override; // clearViews()

    // Video thread: writes the user's frame into the section of the user's view; a view's first frame makes the
    // section and paints it black first. Without a view for the user, emits sigWantRenderVideoView (every time)
    // and returns false. False too when the section cannot be made, its lock is not obtained within 100 ms, or
    // the frame cannot be stored (larger than the section, inconsistent strides: logged once per view).
    bool onWebVideoViewRender(uint uid, VideoFrame& videoFrame);

    // Removes every view and unlinks the sections no other helper uses.
    void clearViews();
    // When the page is reset: forgets every view (clearViews()).
    void resetViews();
    // Unlinks the objects of every section the program's helpers hold, for an exit that may end before the helpers
    // go. The helpers and their writers carry on; a view's section made after this is a new one.
    static void unlinkHeldSections();

    // The entry's writer, made on first use (create) over a section of width * height * 3 + 64 bytes named after
    // the entry's view id, and painted black at width x height. Null when width or height is below 1, without
    // create, or when the section cannot be made. Call with the table locked.
    CShareFrameWriter* openShareBuffer(WebVideoViewEntry& entry, bool create, int width, int height);

    // The view id shown for a user; empty without one.
    QString viewIdOf(uint uid) const;
    // The section name of a user's view; empty before its first frame or without a view.
    QString sectionNameOf(uint uid) const;

signals:
    // A frame came for a user the page shows no view for.
    void sigWantRenderVideoView(uint uid);
    // A user with a view left the channel; the view was removed.
    void sigWebVideoViewOffline(uint uid);

public slots:
    // The page shows the user in element ppApiID. The same element again changes nothing; another element
    // replaces the user's view (its section starts at the next frame). An id that could not name a section
    // (anything but letters, digits, '_' and '-') is refused and logged.
    void onWebVideoViewShowed(uint uid, QString ppApiID);
    // The page no longer shows the user in element ppApiID; an element that is not the user's view changes nothing.
    void onWebVideoViewHidden(uint uid, QString ppApiID);
    // The user left the channel: the view goes and sigWebVideoViewOffline follows (only when there was one).
    void onAgoraUserOfflined(uint uid, int reason);

private:
    mutable QRecursiveMutex m_mutex;
    std::map<uint, WebVideoViewEntry> m_views;
    // Sections this helper has used since it last let them go.
    std::set<std::string> m_heldSections;
};
