#pragma once

#include "replay/controllers/ReplayCtrl.h"

#include <QPointer>
#include <QTimer>

class Whiteboard;

// Drives the replay window's whiteboard page: loads the lesson's signed playback page, is loading each time the
// page starts loading, ready when the page reports that it is fully buffered, and load failed when that report
// has not come two minutes after init. Pause, resume and the user's jumps reach the page through the page
// object's signalBoardPause and signalBoardSeek; the page replays the lesson by itself between them.
class WhiteboardReplayCtrl : public ReplayCtrl
{
    Q_OBJECT

public:
    static constexpr int loadTimeoutMs = 120000;

    explicit WhiteboardReplayCtrl(QObject* parent = nullptr);
    ~WhiteboardReplayCtrl() override;

    // view: the window's Whiteboard page; media (may be null): start and duration to keep; member: not used.
    // Loads the playback page of the application data's lesson and starts the load timer. Always true.
    bool init(QObject* view, const ReplayMediaInfo* media, const UserInfo* member) override;
    // Stops the load timer and the page (which blocks the calling thread for about two seconds).
    void close() override;
    ReplayMediaInfo& mediaInfo() override { return m_media; }
    void play(bool play) override;
    void stop() override;
    // Tells the page the position only for a jump (force); false without a page.
    bool seek(uint posMs, bool force) override;

    // The page address for a lesson: the playback page address with the signed tail of lessonId, periodId,
    // partId "1" and autoplay "0".
    static QString playbackAddress(const QString& lessonId, const QString& periodId);

    // Tests only: the load timer's interval; a running timer starts over with it.
    void setLoadTimeoutForTesting(int milliseconds);

public slots:
    void onWhiteboardLoadStarted();
    void onWhiteboardBufferFinished(bool finished);
    void onWhiteboardLoadOverTime();

private:
    QPointer<Whiteboard> m_page;
    ReplayMediaInfo m_media;
    QTimer m_loadTimer;
};
