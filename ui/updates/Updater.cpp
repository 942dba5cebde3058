#include "ui/updates/Updater.h"

#include "app/DirUtil.h"
#include "net/http/HttpCurl.h"
#include "ui/common/UpgradeDlg.h"
#include "ui/updates/UpdatesResources.h"

#include "ui_Updater.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QFile>
#include <QMessageBox>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QtDebug>

#include <limits>

namespace {

const char kFallbackFileName[] = "update_file.bin";
const char kPartSuffix[] = ".part";

quint32 nowSeconds()
{
    return quint32(QDateTime::currentSecsSinceEpoch());
}

} // namespace

Updater::Updater(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::Updater)
    , m_network(new QNetworkAccessManager)
    , m_downloadDir(QDir::homePath() + QStringLiteral("/Downloads/"))
{
    UpdatesResources::ensureLoaded();
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::Dialog);
    setFixedSize(minimumSizeHint());
    ui->lbl_dialog_title->setText(tr("Updater"));
    ui->openButton->setEnabled(false);
    ui->openButton->hide();
    connect(ui->openButton, &QPushButton::clicked, this, &Updater::openDownloadFile);
    connect(ui->stopButton, &QPushButton::clicked, this, &Updater::cancelDownload);
    m_opener = [](const QUrl& file) { return QDesktopServices::openUrl(file); };
}

Updater::~Updater()
{
    discardReply();
    delete m_network;
    delete ui;
}

QString Updater::downloadedFilePath() const
{
    return m_downloadDir.filePath(m_fileName);
}

void Updater::setFileOpener(FileOpener opener)
{
    m_opener = std::move(opener);
}

QString Updater::fileNameForUrl(const QUrl& url)
{
    const QString name = url.toString().split(QLatin1Char('/')).last();
    // A name that stays inside the download folder, short enough with ".part" behind it.
    return isSafePathSegment(name) ? name : QString::fromLatin1(kFallbackFileName);
}

QString Updater::sizeText(qint64 bytes)
{
    if (bytes < 1024)
        return QStringLiteral("%1bytes").arg(bytes);
    if (bytes < 1048576)
        return QStringLiteral("%1KB").arg(bytes / 1024);
    return QStringLiteral("%1MB").arg(bytes / 1048576);
}

QString Updater::remainingTimeText(double seconds)
{
    if (seconds > 7200) {
        const qint64 hours = qint64(seconds / 3600 + 0.5);
        return hours > 1 ? tr("about %1 hours").arg(hours) : tr("about one hour");
    }
    if (seconds > 60) {
        const qint64 minutes = qint64(seconds / 60 + 0.5);
        return minutes > 1 ? tr("%1 minutes").arg(minutes) : tr("1 minute");
    }
    const qint64 whole = qint64(seconds + 0.5);
    return whole > 1 ? tr("%1 seconds").arg(whole) : tr("1 second");
}

qint64 Updater::remainingSeconds(qint64 elapsed, qint64 received, qint64 total)
{
    if (received <= 0)
        return -1;
    // 128-bit product: an hour of a terabyte download must not wrap.
    const __int128 remaining = __int128(elapsed) * __int128(total - received) / received;
    return qint64(qBound<__int128>(0, remaining, std::numeric_limits<qint64>::max()));
}

void Updater::startDownload(const QUrl& url)
{
    startDownload(url, false);
}

void Updater::startDownload(const QUrl& url, bool download_complete_2_closeDlg)
{
    m_closeOnCompletion = download_complete_2_closeDlg;
    m_redirects = 0;
    begin(url);
}

void Updater::begin(const QUrl& url)
{
    m_finished = false;
    m_completed = false;
    m_failed = false;
    m_bytesReceived = 0;
    ui->progressBar->setRange(0, 100);
    ui->progressBar->setValue(0);
    ui->stopButton->setText(tr("Stop"));
    ui->downloadLabel->setText(tr("Downloading updates"));
    ui->timeLabel->setText(tr("Time remaining") + QStringLiteral(": ") + tr("unknown"));

    m_fileName = fileNameForUrl(url);
    m_startTime = nowSeconds();
    discardReply();

    if (!m_downloadDir.exists() && !m_downloadDir.mkpath(QStringLiteral(".")))
        qWarning().noquote() << "Updater::startDownload cannot create" << m_downloadDir.path();
    QFile::remove(downloadedFilePath());
    QFile::remove(downloadedFilePath() + kPartSuffix);

    if (!HttpCurl::isHttpAddress(url)) {
        qWarning().noquote() << "Updater::startDownload refuses the address" << url.toString(QUrl::RemoveQuery);
        fail(tr("Download failed!"));
        show();
        return;
    }

    qInfo().noquote() << "Updater::startDownload" << url.toString(QUrl::RemoveQuery) << "->" << downloadedFilePath();
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::downloadProgress, this, &Updater::updateProgress);
    connect(m_reply, &QNetworkReply::finished, this, &Updater::onReplyFinished);
    show();
}

void Updater::discardReply()
{
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

bool Updater::isRedirect(QNetworkReply* reply, QUrl* target) const
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute);
    if (status < 300 || status > 399 || !location.isValid())
        return false;
    if (target)
        *target = reply->url().resolved(location.toUrl());
    return true;
}

bool Updater::isSuccessfulReply(QNetworkReply* reply) const
{
    if (reply->error() != QNetworkReply::NoError)
        return false;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return status.isValid() && status.toInt() >= 200 && status.toInt() <= 299;
}

void Updater::updateProgress(qlonglong received, qlonglong total)
{
    if (m_reply && isRedirect(m_reply, nullptr))
        return; // the body of a redirect is not the file
    m_bytesReceived = qMax<qint64>(m_bytesReceived, received);

    if (total <= 0) {
        ui->progressBar->setRange(0, 0);
        ui->progressBar->setValue(-1);
        ui->downloadLabel->setText(tr("Downloading Updates") + QStringLiteral("..."));
        ui->timeLabel->setText(QStringLiteral("%1: %2").arg(tr("Time Remaining"), tr("Unknown")));
        storeReadyBytes();
        return;
    }

    ui->progressBar->setRange(0, 100);
    ui->progressBar->setValue(int(qBound<qlonglong>(0, received * 100 / total, 100)));
    ui->downloadLabel->setText(tr("Downloading updates") + QStringLiteral("(") + sizeText(received) +
                               QStringLiteral(" / ") + sizeText(total) + QStringLiteral(")"));
    updateTimeLine(received, total);

    storeReadyBytes();
    if (m_reply && received >= total && isSuccessfulReply(m_reply))
        complete();
}

void Updater::updateTimeLine(qint64 received, qint64 total)
{
    const qint64 elapsed = qint64(nowSeconds()) - qint64(m_startTime);
    if (elapsed <= 0 || received <= 0)
        return;
    const double remaining = double(remainingSeconds(elapsed, received, total));
    ui->timeLabel->setText(tr("Time remaining") + QStringLiteral(": ") + remainingTimeText(remaining));
}

void Updater::storeReadyBytes()
{
    if (!m_reply || m_completed || !isSuccessfulReply(m_reply))
        return;
    const QByteArray bytes = m_reply->readAll();
    if (bytes.isEmpty())
        return;
    QFile part(downloadedFilePath() + kPartSuffix);
    if (!part.open(QIODevice::WriteOnly | QIODevice::Append)) {
        qWarning().noquote() << "Updater::updateProgress cannot open" << part.fileName() << part.errorString();
        return;
    }
    if (part.write(bytes) != bytes.size())
        qWarning().noquote() << "Updater::updateProgress cannot write" << part.fileName() << part.errorString();
}

void Updater::onReplyFinished()
{
    QNetworkReply* reply = m_reply;
    if (!reply || m_completed)
        return;

    QUrl target;
    if (isRedirect(reply, &target)) {
        if (++m_redirects > kMaxRedirects || !HttpCurl::isHttpAddress(target)) {
            qWarning().noquote() << "Updater::onReplyFinished stops at the redirect to"
                                 << target.toString(QUrl::RemoveQuery);
            fail(tr("Download failed!"));
            return;
        }
        qInfo().noquote() << "Updater::onReplyFinished redirected to" << target.toString(QUrl::RemoveQuery);
        begin(target);
        return;
    }

    if (!isSuccessfulReply(reply)) {
        qWarning().noquote() << "Updater::onReplyFinished download failed:" << reply->errorString() << "status"
                             << reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        fail(tr("Download failed!"));
        return;
    }
    // A connection that ends before the announced length is reached is not reported as an error.
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    const bool encoded =
        !reply->rawHeader("Content-Encoding").isEmpty() && reply->rawHeader("Content-Encoding").toLower() != "identity";
    if (length.isValid() && !encoded && m_bytesReceived < length.toLongLong()) {
        qWarning() << "Updater::onReplyFinished the body ended after" << m_bytesReceived << "of" << length.toLongLong()
                   << "bytes";
        fail(tr("Download failed!"));
        return;
    }
    // Served without a length: the body is all there now.
    complete();
}

void Updater::complete()
{
    storeReadyBytes();
    m_completed = true;
    const QString path = downloadedFilePath();
    const QString partPath = path + kPartSuffix;
    {
        QFile part(partPath);
        if (!part.exists() && part.open(QIODevice::WriteOnly))
            part.close(); // an empty body is an empty file
    }
    QFile::remove(path);
    if (!QFile::rename(partPath, path))
        qWarning().noquote() << "Updater::updateProgress cannot rename" << partPath << "to" << path;
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->close();
    }
    qInfo().noquote() << "Updater::updateProgress download complete:" << path;

    if (m_closeOnCompletion) {
        accept();
        return;
    }
    m_finished = true;
    ui->stopButton->setText(tr("install"));
    ui->downloadLabel->setText(tr("Download complete!"));
    ui->timeLabel->setText(QString());
}

void Updater::fail(const QString& why)
{
    m_failed = true;
    if (m_reply)
        m_reply->disconnect(this);
    ui->downloadLabel->setText(why);
    ui->timeLabel->setText(QString());
    QFile::remove(downloadedFilePath() + kPartSuffix);
}

void Updater::cancelDownload()
{
    if (m_finished) {
        openDownloadFile();
        return;
    }
    if (m_reply && m_reply->isRunning() && !m_failed) {
        UpgradeDlg question(tr("Updater"), tr("Are you sure you want to cancel the download?"),
                            QMessageBox::Yes | QMessageBox::No | QMessageBox::Question, this);
        question.exec();
        if (question.clickedButton() != QMessageBox::Yes)
            return;
        // The answer came from a nested loop: the download may have completed meanwhile.
        if (m_completed)
            return;
        hide();
        discardReply();
        QFile::remove(downloadedFilePath() + kPartSuffix);
        reject();
        return;
    }
    hide();
    reject();
}

void Updater::openDownloadFile()
{
    if (m_fileName.isEmpty()) {
        UpgradeDlg box(tr("Updater"), tr("Cannot find downloaded update!"), QMessageBox::Close | QMessageBox::Critical,
                       this);
        box.exec();
        return;
    }
    const QUrl file = QUrl::fromLocalFile(downloadedFilePath());
    if (!m_opener || !m_opener(file))
        qWarning().noquote() << "Updater::openDownloadFile cannot open" << file.toLocalFile();
    accept();
}

void Updater::on_btn_close_clicked()
{
    reject();
}

void Updater::mousePressEvent(QMouseEvent* event)
{
    const QRect bar(ui->widget_bar->mapToGlobal(QPoint(0, 0)), ui->widget_bar->size());
    if (bar.contains(event->globalPos()))
        m_dragOffset = event->globalPos() - pos();
    else
        m_dragOffset = QPoint(0, 0);
}

void Updater::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragOffset.isNull())
        move(event->globalPos() - m_dragOffset);
}

void Updater::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragOffset = QPoint(0, 0);
    QDialog::mouseReleaseEvent(event);
}
