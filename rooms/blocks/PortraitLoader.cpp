#include "rooms/blocks/PortraitLoader.h"

#include "net/http/HttpCurl.h"

#include <QDebug>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QSaveFile>
#include <QThreadPool>
#include <QUrl>
#include <QtConcurrent>

namespace {

// A class of thirty members loads a few portraits at a time; the pool waits for running downloads at exit.
QThreadPool* portraitPool()
{
    static QThreadPool pool;
    static const bool configured = [] {
        pool.setMaxThreadCount(4);
        pool.setExpiryTimeout(5000);
        return true;
    }();
    Q_UNUSED(configured)
    return &pool;
}

PortraitLoader::Result failure(const QString& why)
{
    PortraitLoader::Result result;
    result.error = why;
    return result;
}

} // namespace

PortraitLoader::PortraitLoader(QObject* parent)
    : QObject(parent)
{
}

PortraitLoader::~PortraitLoader()
{
    if (m_watcher)
        m_watcher->disconnect(this);
}

QString PortraitLoader::storagePath(const QString& url, const QString& imagesDir)
{
    const QString baseName = QFileInfo(QUrl(url).path()).baseName();
    if (baseName.isEmpty() || imagesDir.isEmpty())
        return QString();
    return imagesDir + QLatin1Char('/') + baseName;
}

PortraitLoader::Result PortraitLoader::fetch(const QString& url, const QString& imagesDir)
{
    const QUrl address(url);
    if (!HttpCurl::isHttpAddress(address))
        return failure(QStringLiteral("not a web address"));
    const QString path = storagePath(url, imagesDir);
    if (path.isEmpty())
        return failure(QStringLiteral("the address names no file"));
    QByteArray body;
    if (HttpCurl::getToByteArray(address, nullptr, &body, kDownloadSeconds) != 0)
        return failure(QStringLiteral("download failed"));
    Result result;
    result.image = QImage::fromData(body);
    if (result.image.isNull())
        return failure(QStringLiteral("not a picture"));
    // Written aside and renamed: rows whose addresses share a base name may store at the same time.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size() || !file.commit())
        return failure(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    result.ok = true;
    result.path = path;
    return result;
}

bool PortraitLoader::waitForAllFetches(int msecs)
{
    return portraitPool()->waitForDone(msecs);
}

void PortraitLoader::load(const QString& url, const QString& imagesDir)
{
    if (m_watcher) {
        m_watcher->disconnect(this);
        m_watcher->deleteLater();
    }
    m_watcher = new QFutureWatcher<Result>(this);
    connect(m_watcher, &QFutureWatcher<Result>::finished, this, &PortraitLoader::onFetched);
    m_watcher->setFuture(QtConcurrent::run(portraitPool(), &PortraitLoader::fetch, url, imagesDir));
}

bool PortraitLoader::isLoading() const
{
    return m_watcher && !m_watcher->isFinished();
}

void PortraitLoader::onFetched()
{
    const Result result = m_watcher->result();
    m_watcher->deleteLater();
    m_watcher = nullptr;
    if (!result.ok) {
        qWarning().noquote() << "PortraitLoader the portrait stays the fallback:" << result.error;
        emit sigFailed(result.error);
        return;
    }
    emit sigLoaded(result.path, result.image);
}
