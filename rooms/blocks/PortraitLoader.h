#pragma once

#include <QImage>
#include <QObject>
#include <QString>

template <typename T> class QFutureWatcher;

// Fetches a member's portrait off the GUI thread: downloads the address (10 s limit), checks that it is a picture,
// stores it as <images folder>/<base name of the address> and reports the file and the picture on the owner's
// thread. Owned by the widget that shows the portrait: when the owner goes, a download still running finishes in
// the background and its result is dropped. A new load() drops the result of the one before.
class PortraitLoader : public QObject
{
    Q_OBJECT

public:
    static constexpr int kDownloadSeconds = 10;

    // The outcome of one fetch (worker thread).
    struct Result
    {
        bool ok = false;
        QString path;  // the stored file
        QImage image;  // the picture
        QString error; // why it failed, for the log
    };

    explicit PortraitLoader(QObject* parent = nullptr);
    ~PortraitLoader() override;

    // Starts fetching url into imagesDir.
    void load(const QString& url, const QString& imagesDir);
    bool isLoading() const;

    // The whole fetch, on the calling thread: download, decode, store.
    static Result fetch(const QString& url, const QString& imagesDir);
    // The file a portrait address is stored in: <imagesDir>/<base name>; empty when the address names no file.
    static QString storagePath(const QString& url, const QString& imagesDir);
    // Waits up to msecs for every running fetch to end; true when none runs any more.
    static bool waitForAllFetches(int msecs);

signals:
    void sigLoaded(const QString& path, const QImage& image);
    void sigFailed(const QString& error);

private:
    void onFetched();

    QFutureWatcher<Result>* m_watcher = nullptr;
};
