#pragma once

#include "app/records/LessonContext.h"

#include <QByteArray>
#include <QDialog>
#include <QMutex>
#include <QPointer>
#include <QString>
#include <QThread>

#include <atomic>
#include <cstddef>
#include <functional>

class QWidget;

// Fetches a lesson's missing offline package on a thread of its own: asks the class service for the archive's
// address, MD5 and size, downloads it, checks both, stores it as "<lesson id>.zip" in the offline lesson folder
// and unpacks it into "<lesson id>/". On the GUI thread it shows the download progress and, when a run fails, a
// question offering a retry (or a notice) through the common dialogs. A successful run posts the start status of
// the small class room (or its replay) again; a user who gives up is told by sigDownloadUserCallOff. Created on
// the GUI thread, it keeps the application data's lesson context of that moment for its run.
class OfflineLessonResDownloader : public QThread
{
    Q_OBJECT

public:
    // Posts a start status to the window router.
    using StartStatusPoster = std::function<void(int status)>;

    static constexpr int kTimeoutSeconds = 1800;
    static constexpr int kStatusSmallClass = 4;
    static constexpr int kStatusSmallClassReplay = 7;

    OfflineLessonResDownloader(const QString& lessonId, QWidget* parent);
    ~OfflineLessonResDownloader() override;

    // The process's way of posting start statuses (the application object sets it once at start-up).
    static void setStartStatusPoster(StartStatusPoster poster);

    // The transfer's write function: appends to the downloader's buffer and reports the new size. Returns the
    // byte count taken; anything else (a null data or downloader pointer, a body beyond the announced size)
    // ends the transfer.
    static size_t writeCallback(char* data, size_t size, size_t count, void* downloader);

    // Lower-case hexadecimal MD5 of data (also written to the debug log).
    static QString md5Hex(const QByteArray& data);

    // The last run took the time-out or longer.
    bool isTimedOut() const;
    // The transfer's limit (connection and whole transfer) and the time after which a failed run counts as
    // timed out; kTimeoutSeconds unless changed before start().
    void setTimeoutSeconds(int seconds) { m_timeoutSeconds = seconds; }
    int timeoutSeconds() const { return m_timeoutSeconds; }
    // Tests only: a limit of the transfer's own, apart from the time-out after which a failed run counts as timed
    // out (0: that time-out).
    void setTransferTimeoutSecondsForTesting(int seconds) { m_transferTimeoutSeconds = seconds; }

    // The dialog shown for this download: the main window's own current dialog when the parent is the main
    // window, else one kept here (setting another deletes the previous one later).
    bool setCurModalDialog(QDialog* dialog);
    QDialog* curModalDialog() const;

    QString lessonId() const { return m_lessonId; }
    int result() const { return m_result.load(); }
    int elapsedSeconds() const { return m_elapsedSeconds.load(); }
    qint64 archiveSize() const { return m_zipSize.load(); }
    QString archivePath() const;
    QString resourceDir() const;

signals:
    void sigDownloadProgress(OfflineLessonResDownloader* pDownloader, qint64 nDownloadedSize);
    void sigDownloadEnd(OfflineLessonResDownloader* pDownloader);
    void sigDownloadUserCallOff(OfflineLessonResDownloader* pDownloader);

public slots:
    void onLessonDownloadProgress(OfflineLessonResDownloader* pDownloader, qint64 nProgress);
    void onLessonDownloaderEnd(OfflineLessonResDownloader* pDownloader);

protected:
    void run() override;

private slots:
    // Runs the download again once the previous run's thread has ended.
    void restart();

private:
    int download();
    bool parentIsMainWindow() const;
    void showEndDialog();

    const QString m_lessonId;
    const LessonContext m_lesson; // the application data's when created: user id, token, start app type
    QString m_zipUrl;
    QString m_md5;
    std::atomic<qint64> m_zipSize{0};
    QByteArray m_buffer;
    bool m_oversized = false;
    QString m_computedMd5;
    QString m_archivePath;
    QString m_resourceDir;
    mutable QMutex m_pathMutex; // the two paths above, written by the run, read by the GUI thread
    std::atomic<int> m_elapsedSeconds{0};
    std::atomic<int> m_result{1};
    QPointer<QWidget> m_parent;
    QPointer<QDialog> m_curModalDialog;
    int m_timeoutSeconds = kTimeoutSeconds;
    int m_transferTimeoutSeconds = 0;
};
