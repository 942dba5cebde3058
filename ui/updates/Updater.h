#pragma once

#include <QDialog>
#include <QDir>
#include <QPoint>
#include <QUrl>

#include <functional>

class QFile;
class QNetworkAccessManager;
class QNetworkReply;

namespace Ui {
class Updater;
}

// The download window of the start-up update: fetches one file over HTTP into ~/Downloads with a progress bar,
// the sizes and an estimate of the time left. The bytes go to a temporary "<name>.<random>.part" file beside the
// target, which takes the first free name ("<name>", "<base> (1).<ext>", ...) once complete: a file the window
// did not write is never replaced or deleted. Run with exec(): 1 when the download completed and either closed
// the window by itself or the user started the file, else 0.
class Updater : public QDialog
{
    Q_OBJECT

public:
    // Opens a downloaded file with the desktop's handler; true when the handler took it.
    using FileOpener = std::function<bool(const QUrl& file)>;

    explicit Updater(QWidget* parent = nullptr);
    ~Updater() override;

    // The completed download's file; before completion the path it is meant for (which may be taken).
    QString downloadedFilePath() const;
    // The current download's temporary file; empty when there is none.
    QString partFilePath() const;
    QString fileName() const { return m_fileName; }
    QDir downloadFolder() const { return m_downloadDir; }
    // The download completed and the window waits for "install".
    bool isFinished() const { return m_finished; }
    // The current download failed (network or HTTP error, too many redirects, the file could not be stored);
    // the window shows why and waits for "Stop".
    bool hasFailed() const { return m_failed; }

    // Replaces QDesktopServices::openUrl (tests open nothing).
    void setFileOpener(FileOpener opener);

    // The last segment of the address's path ("update_file.bin" when it is empty or not a plain file name);
    // query and fragment are left out.
    static QString fileNameForUrl(const QUrl& url);
    // "name (n).ext" for a name that is taken: the number goes before the last extension.
    static QString numberedFileName(const QString& name, int number);
    // "1023bytes", "1KB", "5MB": whole numbers, remainder dropped.
    static QString sizeText(qint64 bytes);
    // "about 2 hours", "60 minutes", "1 minute", "1 second" for a remaining time in seconds.
    static QString remainingTimeText(double seconds);
    // elapsed * (total - received) / received in whole seconds; -1 when nothing was received.
    static qint64 remainingSeconds(qint64 elapsed, qint64 received, qint64 total);

    static constexpr int kMaxRedirects = 10;

public slots:
    void startDownload(const QUrl& url, bool download_complete_2_closeDlg);
    void startDownload(const QUrl& url);
    void on_btn_close_clicked();
    void updateProgress(qlonglong received, qlonglong total);
    void cancelDownload();
    void openDownloadFile();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private slots:
    void onReplyFinished();

private:
    void begin(const QUrl& url);
    void discardReply();
    bool isRedirect(QNetworkReply* reply, QUrl* target) const;
    bool isSuccessfulReply(QNetworkReply* reply) const;
    bool createPartFile();
    void discardPartFile();
    bool storeReadyBytes();
    bool placeFinishedFile();
    void complete();
    void fail(const QString& reason);
    void updateTimeLine(qint64 received, qint64 total);

    Ui::Updater* ui;
    QNetworkAccessManager* m_network = nullptr;
    QNetworkReply* m_reply = nullptr;
    QPoint m_dragOffset;
    QString m_fileName;
    QDir m_downloadDir;
    QFile* m_part = nullptr;   // the current download's temporary file, open while it runs
    qint64 m_bytesWritten = 0; // into m_part
    QString m_finalPath;       // the completed download's file
    quint32 m_startTime = 0;
    bool m_finished = false;
    bool m_closeOnCompletion = false;
    bool m_completed = false; // the current download's file is in place
    bool m_failed = false;
    int m_redirects = 0;
    qint64 m_bytesReceived = 0; // the highest count reported for the current reply
    FileOpener m_opener;
};
