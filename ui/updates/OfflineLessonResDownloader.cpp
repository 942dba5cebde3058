#include "ui/updates/OfflineLessonResDownloader.h"

#include "app/AppGlobalData.h"
#include "app/DirUtil.h"
#include "net/api/ZmNetAPI.h"
#include "net/http/HttpCurl.h"
#include "net/packages/OfflineLessonResManager.h"
#include "net/packages/OfflineLessonResult.h"
#include "net/zip/ZipUtil.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/DownloadLessonDlg.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QMutexLocker>
#include <QUrl>
#include <QVariant>
#include <QtDebug>

#include <limits>

namespace {

// The whole archive is held in memory; a byte array can't grow beyond this.
constexpr qint64 kMaxArchiveBytes = std::numeric_limits<int>::max() - 4096;

QMutex s_posterMutex;
OfflineLessonResDownloader::StartStatusPoster s_startStatusPoster;

void postStartStatus(int status)
{
    OfflineLessonResDownloader::StartStatusPoster poster;
    {
        QMutexLocker locker(&s_posterMutex);
        poster = s_startStatusPoster;
    }
    if (!poster) {
        qWarning() << "OfflineLessonResDownloader::onLessonDownloaderEnd no one takes the start status" << status;
        return;
    }
    poster(status);
}

} // namespace

OfflineLessonResDownloader::OfflineLessonResDownloader(const QString& lessonId, QWidget* parent)
    : m_lessonId(lessonId)
    , m_lesson(AppGlobalData::instance()->lessonContext())
    , m_parent(parent)
{
    connect(this, &OfflineLessonResDownloader::sigDownloadProgress, this,
            &OfflineLessonResDownloader::onLessonDownloadProgress);
    connect(this, &OfflineLessonResDownloader::sigDownloadEnd, this,
            &OfflineLessonResDownloader::onLessonDownloaderEnd);
}

OfflineLessonResDownloader::~OfflineLessonResDownloader()
{
    wait();
    if (!parentIsMainWindow() && m_curModalDialog)
        m_curModalDialog->deleteLater();
}

void OfflineLessonResDownloader::setStartStatusPoster(StartStatusPoster poster)
{
    QMutexLocker locker(&s_posterMutex);
    s_startStatusPoster = std::move(poster);
}

QString OfflineLessonResDownloader::archivePath() const
{
    QMutexLocker locker(&m_pathMutex);
    return m_archivePath;
}

QString OfflineLessonResDownloader::resourceDir() const
{
    QMutexLocker locker(&m_pathMutex);
    return m_resourceDir;
}

size_t OfflineLessonResDownloader::writeCallback(char* data, size_t size, size_t count, void* downloader)
{
    if (!data || !downloader)
        return 0;
    auto* self = static_cast<OfflineLessonResDownloader*>(downloader);
    const qint64 bytes = qint64(size * count);
    const qint64 limit = qMin(qMax<qint64>(self->m_zipSize.load(), 0), kMaxArchiveBytes);
    if (self->m_buffer.size() + bytes > limit) {
        // More than the service announced: the size check would fail anyway, so stop the transfer here.
        self->m_oversized = true;
        return 0;
    }
    self->m_buffer.append(data, int(bytes));
    emit self->sigDownloadProgress(self, self->m_buffer.size());
    return size * count;
}

QString OfflineLessonResDownloader::md5Hex(const QByteArray& data)
{
    const QString hex = QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex());
    qDebug().noquote() << "OfflineLessonResDownloader::md5Hex" << hex;
    return hex;
}

bool OfflineLessonResDownloader::isTimedOut() const
{
    return m_elapsedSeconds.load() >= m_timeoutSeconds;
}

void OfflineLessonResDownloader::run()
{
    QElapsedTimer timer;
    timer.start();
    const int result = download();
    m_buffer = QByteArray();
    if (result != OfflineLesson_Success) {
        const QString folder = resourceDir();
        if (!folder.isEmpty())
            removeDirRecursively(folder);
    }
    m_elapsedSeconds = int(timer.elapsed() / 1000);
    m_result = result;
    qDebug().noquote() << QStringLiteral("OfflineLessonResDownloader result(%1) elapsedTimeS(%2)")
                              .arg(result)
                              .arg(m_elapsedSeconds.load());
    emit sigDownloadEnd(this);
}

int OfflineLessonResDownloader::download()
{
    if (!OfflineLessonResManager::isSafeFolderName(m_lessonId)) {
        qWarning().noquote() << "OfflineLessonResDownloader::run refuses the lesson id" << m_lessonId;
        return OfflineLesson_FolderFailed;
    }

    QMap<QString, QVariant> package;
    if (ZmNetAPI::instance()->getLessonCourseZip(m_lessonId, m_lesson.userId(), m_lesson.token(), package) != 0)
        return OfflineLesson_ServiceFailed;
    m_zipUrl = package.value(QStringLiteral("zipUrl")).toString();
    m_md5 = package.value(QStringLiteral("md5")).toString();
    bool sizeOk = false;
    const qint64 size = package.value(QStringLiteral("zipSize")).toString().trimmed().toLongLong(&sizeOk);
    m_zipSize = sizeOk ? size : 0;
    m_buffer.clear();
    m_oversized = false;

    const QUrl address(m_zipUrl);
    if (!HttpCurl::isHttpAddress(address)) {
        qWarning().noquote() << "OfflineLessonResDownloader::run refuses the package address" << m_zipUrl;
        return OfflineLesson_DownloadFailed;
    }
    const int transferSeconds = m_transferTimeoutSeconds > 0 ? m_transferTimeoutSeconds : m_timeoutSeconds;
    if (HttpCurl::getUrl(address, nullptr, &OfflineLessonResDownloader::writeCallback, this, transferSeconds) != 0)
        return m_oversized ? OfflineLesson_SizeMismatch : OfflineLesson_DownloadFailed;
    if (m_buffer.size() != m_zipSize.load()) {
        qWarning() << "OfflineLessonResDownloader::run received" << m_buffer.size() << "bytes, expected"
                   << m_zipSize.load();
        return OfflineLesson_SizeMismatch;
    }
    m_computedMd5 = md5Hex(m_buffer).toUpper();
    if (m_computedMd5 != m_md5.toUpper()) {
        qWarning().noquote() << "OfflineLessonResDownloader::run MD5" << m_computedMd5 << "expected" << m_md5;
        return OfflineLesson_Md5Mismatch;
    }

    const QString lessonDir = OfflineLessonResManager::offlineLessonDir();
    const QString archive = lessonDir + QLatin1Char('/') + m_lessonId + QStringLiteral(".zip");
    {
        QMutexLocker locker(&m_pathMutex);
        m_archivePath = archive;
    }
    qDebug().noquote() << "OfflineLessonResDownloader::run archive" << archive;
    QFile file(archive);
    // A fresh file on every attempt: an archive left by an earlier attempt must not be extended.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qWarning().noquote() << "OfflineLessonResDownloader::run cannot open" << archive << file.errorString();
        return OfflineLesson_ArchiveWriteFailed;
    }
    const bool written = file.write(m_buffer) == m_buffer.size();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        qWarning().noquote() << "OfflineLessonResDownloader::run cannot write" << archive << file.errorString();
        file.remove();
        return OfflineLesson_ArchiveWriteFailed;
    }
    m_buffer = QByteArray();

    const QString folder = lessonDir + QLatin1Char('/') + m_lessonId;
    {
        QMutexLocker locker(&m_pathMutex);
        m_resourceDir = folder;
    }
    if (!makePathIfMissing(folder)) {
        qWarning().noquote() << "OfflineLessonResDownloader::run cannot create" << folder;
        return OfflineLesson_FolderFailed;
    }
    int error = 0;
    ZipUtil::extractDir(archive, folder, &error);
    if (error != 0) {
        qWarning().noquote() << "OfflineLessonResDownloader::run cannot unpack" << archive << "- zip error" << error;
        return OfflineLesson_UnpackFailed;
    }
    return OfflineLesson_Success;
}

bool OfflineLessonResDownloader::parentIsMainWindow() const
{
    return m_parent && m_parent->inherits("ZmMainRoomDlg");
}

bool OfflineLessonResDownloader::setCurModalDialog(QDialog* dialog)
{
    if (parentIsMainWindow()) {
        bool taken = false;
        if (QMetaObject::invokeMethod(m_parent.data(), "setCurModalDialog", Qt::DirectConnection,
                                      Q_RETURN_ARG(bool, taken), Q_ARG(QDialog*, dialog)))
            return taken;
        qWarning() << "OfflineLessonResDownloader::setCurModalDialog the main window takes no dialog";
        return false;
    }
    if (dialog && dialog == m_curModalDialog) {
        qWarning() << "Error:setCurModalDialog ==m_pCurModalDialog2!";
        return true;
    }
    if (m_curModalDialog)
        m_curModalDialog->deleteLater();
    m_curModalDialog = dialog;
    return true;
}

QDialog* OfflineLessonResDownloader::curModalDialog() const
{
    if (parentIsMainWindow()) {
        QDialog* dialog = nullptr;
        if (QMetaObject::invokeMethod(m_parent.data(), "curModalDialog", Qt::DirectConnection,
                                      Q_RETURN_ARG(QDialog*, dialog)))
            return dialog;
        return nullptr;
    }
    return m_curModalDialog.data();
}

void OfflineLessonResDownloader::onLessonDownloadProgress(OfflineLessonResDownloader* pDownloader, qint64 nProgress)
{
    if (pDownloader != this)
        return;
    auto* dialog = qobject_cast<DownloadLessonDlg*>(curModalDialog());
    if (!dialog) {
        dialog = new DownloadLessonDlg(m_parent.data());
        dialog->show();
        if (!setCurModalDialog(dialog)) {
            dialog->deleteLater();
            return;
        }
    }
    dialog->updateProgress(nProgress, m_zipSize.load());
}

void OfflineLessonResDownloader::onLessonDownloaderEnd(OfflineLessonResDownloader* pDownloader)
{
    if (pDownloader != this)
        return;
    if (qobject_cast<DownloadLessonDlg*>(curModalDialog()))
        setCurModalDialog(nullptr);

    if (m_result.load() == OfflineLesson_Success) {
        const bool replay = m_lesson.startAppType() == AppType_Playback;
        postStartStatus(replay ? kStatusSmallClassReplay : kStatusSmallClass);
        return;
    }
    showEndDialog();
}

void OfflineLessonResDownloader::showEndDialog()
{
    auto* dialog = new CancelOkWarningDlg(m_parent.data());
    if (!setCurModalDialog(dialog)) {
        dialog->deleteLater();
        return;
    }
    const bool offerRetry = isTimedOut() || m_result.load() > -30;
    if (offerRetry) {
        dialog->setMessageText(tr("File loading failed.\nDownload timeout, please download again."));
        dialog->setOkText(tr("Retry"));
        dialog->setCancelText(tr("Cancel"));
    } else {
        dialog->setMessageText(
            tr("File loading failed.\nThe file has been unpacked or has been corrupted. Please contact the staff."));
        dialog->setOkText(tr("OK"));
        dialog->setCancelButtonVisible(false);
    }

    const QPointer<CancelOkWarningDlg> asked(dialog);
    dialog->setDoneCallback(
        [this, asked, offerRetry](QObject* context, int code) {
            if (!context)
                return; // the downloader is gone
            if (asked) {
                // Answered once: a later rejection (when another dialog takes its place) means nothing.
                asked->setDoneCallback(nullptr, nullptr);
                if (curModalDialog() == asked)
                    setCurModalDialog(nullptr);
                else
                    asked->deleteLater();
            }
            if (offerRetry && code == CancelOkWarningDlg::ResultOk)
                QMetaObject::invokeMethod(this, "restart", Qt::QueuedConnection);
            else
                emit sigDownloadUserCallOff(this);
        },
        this);
    dialog->show();
}

void OfflineLessonResDownloader::restart()
{
    wait(); // the previous run has emitted its end; let its thread finish
    start(QThread::InheritPriority);
}
