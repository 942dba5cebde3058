#include "ui/updates/Updater.h"

#include "app/DirUtil.h"
#include "net/http/HttpCurl.h"
#include "ui/common/UpgradeDlg.h"
#include "ui/updates/UpdatesResources.h"

#include "ui_Updater.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRandomGenerator>
#include <QtDebug>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

namespace {

const char kFallbackFileName[] = "update_file.bin";
const char kPartSuffix[] = ".part";
constexpr int kMaxNameAttempts = 1000;

// Six random letters and digits, to make a temporary name unique.
QString randomTag()
{
    static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString tag;
    for (int i = 0; i < 6; ++i)
        tag += QLatin1Char(kAlphabet[QRandomGenerator::global()->bounded(int(sizeof kAlphabet - 1))]);
    return tag;
}

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
    discardPartFile();
    delete m_network;
    delete ui;
}

QString Updater::downloadedFilePath() const
{
    return m_finalPath.isEmpty() ? m_downloadDir.filePath(m_fileName) : m_finalPath;
}

QString Updater::partFilePath() const
{
    return m_part ? m_part->fileName() : QString();
}

void Updater::setFileOpener(FileOpener opener)
{
    m_opener = std::move(opener);
}

QString Updater::fileNameForUrl(const QUrl& url)
{
    // The path only: a query or fragment may carry signatures and tokens, and is no part of a file name.
    const QString name = url.path(QUrl::PrettyDecoded).split(QLatin1Char('/')).last();
    // A name that stays inside the download folder, short enough with ".part" behind it.
    return isSafePathSegment(name) ? name : QString::fromLatin1(kFallbackFileName);
}

QString Updater::numberedFileName(const QString& name, int number)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString tag = QStringLiteral(" (%1)").arg(number);
    if (dot <= 0) // no extension, or a name such as ".installer"
        return name + tag;
    return name.left(dot) + tag + name.mid(dot);
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
    m_finalPath.clear();
    m_startTime = nowSeconds();
    discardReply();
    discardPartFile();

    if (!HttpCurl::isHttpAddress(url)) {
        qWarning().noquote() << "Updater::startDownload refuses the address" << url.toString(QUrl::RemoveQuery);
        fail(tr("The address is not a web address."));
        show();
        return;
    }
    if (!createPartFile()) {
        show();
        return;
    }

    qInfo().noquote() << "Updater::startDownload" << url.toString(QUrl::RemoveQuery) << "->" << partFilePath();
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::downloadProgress, this, &Updater::updateProgress);
    connect(m_reply, &QNetworkReply::finished, this, &Updater::onReplyFinished);
    show();
}

// A new file beside the target, under a name nobody uses: the download never writes into an existing file.
bool Updater::createPartFile()
{
    if (!m_downloadDir.exists() && !m_downloadDir.mkpath(QStringLiteral("."))) {
        qWarning().noquote() << "Updater::startDownload cannot create the folder" << m_downloadDir.path();
        fail(tr("Cannot create the folder %1.").arg(QDir::toNativeSeparators(m_downloadDir.path())));
        return false;
    }
    auto part = std::make_unique<QFile>();
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
        part->setFileName(m_downloadDir.filePath(m_fileName + QLatin1Char('.') + randomTag() + kPartSuffix));
        if (part->open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_part = part.release();
            m_bytesWritten = 0;
            return true;
        }
        if (!part->exists())
            break; // not a name clash: the folder refuses the file
    }
    qWarning().noquote() << "Updater::startDownload cannot create" << part->fileName() << part->errorString();
    fail(tr("Cannot save the file: %1").arg(part->errorString()));
    return false;
}

// Closes and removes the temporary file of the current download, which only the window wrote.
void Updater::discardPartFile()
{
    if (!m_part)
        return;
    m_part->close();
    if (QFileInfo(m_part->fileName()).isFile())
        m_part->remove();
    delete m_part;
    m_part = nullptr;
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

    if (!storeReadyBytes())
        return;
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

// Appends what the reply has ready to the temporary file; a failed write fails the download.
bool Updater::storeReadyBytes()
{
    if (!m_reply || m_completed || m_failed || !m_part || !isSuccessfulReply(m_reply))
        return !m_failed;
    const QByteArray bytes = m_reply->readAll();
    if (bytes.isEmpty())
        return true;
    if (m_part->write(bytes) != bytes.size() || !m_part->flush()) {
        qWarning().noquote() << "Updater::updateProgress cannot write" << m_part->fileName() << m_part->errorString();
        fail(tr("Cannot save the file: %1").arg(m_part->errorString()));
        return false;
    }
    m_bytesWritten += bytes.size();
    return true;
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
            fail(tr("Too many redirects, or a redirect to no web address."));
            return;
        }
        qInfo().noquote() << "Updater::onReplyFinished redirected to" << target.toString(QUrl::RemoveQuery);
        begin(target);
        return;
    }

    if (!isSuccessfulReply(reply)) {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        qWarning().noquote() << "Updater::onReplyFinished download failed:" << reply->errorString() << "status"
                             << status;
        fail(status > 0 ? tr("The server answered %1.").arg(status) : reply->errorString());
        return;
    }
    // A connection that ends before the announced length is reached is not reported as an error.
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    const bool encoded =
        !reply->rawHeader("Content-Encoding").isEmpty() && reply->rawHeader("Content-Encoding").toLower() != "identity";
    if (length.isValid() && !encoded && m_bytesReceived < length.toLongLong()) {
        qWarning() << "Updater::onReplyFinished the body ended after" << m_bytesReceived << "of" << length.toLongLong()
                   << "bytes";
        fail(tr("The connection ended before the whole file came."));
        return;
    }
    // Served without a length: the body is all there now.
    complete();
}

// Gives the finished temporary file the first free name: "<name>", then "<base> (1).<ext>", ...
bool Updater::placeFinishedFile()
{
    const QString partPath = m_part->fileName();
    m_part->close();
    delete m_part;
    m_part = nullptr;
    // The file must still be the one written: not removed, replaced or cut meanwhile. If it is not, what is
    // there now is not ours and stays as it is.
    const QFileInfo written(partPath);
    if (!written.isFile() || written.isSymLink() || written.size() != m_bytesWritten) {
        qWarning().noquote() << "Updater::updateProgress the temporary file" << partPath << "changed; expected"
                             << m_bytesWritten << "bytes";
        fail(tr("The downloaded file was changed or removed."));
        return false;
    }
    for (int number = 0; number < kMaxNameAttempts; ++number) {
        const QString candidate =
            m_downloadDir.filePath(number == 0 ? m_fileName : numberedFileName(m_fileName, number));
        // The name is taken by creating it (never over an existing file or link); the finished file then
        // replaces that empty file of ours.
        QFile reserved(candidate);
        if (!reserved.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink())
                continue;
            qWarning().noquote() << "Updater::updateProgress cannot create" << candidate << reserved.errorString();
            QFile::remove(partPath);
            fail(tr("Cannot save the file: %1").arg(reserved.errorString()));
            return false;
        }
        reserved.close();
        if (std::rename(QFile::encodeName(partPath).constData(), QFile::encodeName(candidate).constData()) != 0) {
            const QString reason = QString::fromLocal8Bit(std::strerror(errno));
            qWarning().noquote() << "Updater::updateProgress cannot rename" << partPath << "to" << candidate << reason;
            reserved.remove();
            QFile::remove(partPath);
            fail(tr("Cannot save the file: %1").arg(reason));
            return false;
        }
        m_finalPath = candidate;
        return true;
    }
    qWarning().noquote() << "Updater::updateProgress no free name for" << m_fileName;
    QFile::remove(partPath);
    fail(tr("Cannot save the file: every name is taken."));
    return false;
}

void Updater::complete()
{
    if (!storeReadyBytes() || !m_part)
        return;
    if (!placeFinishedFile())
        return;
    m_completed = true;
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->close();
    }
    qInfo().noquote() << "Updater::updateProgress download complete:" << m_finalPath;

    if (m_closeOnCompletion) {
        accept();
        return;
    }
    m_finished = true;
    ui->stopButton->setText(tr("install"));
    ui->downloadLabel->setText(tr("Download complete!"));
    ui->timeLabel->setText(QString());
}

// The download ends without a file: the window says why and waits for "Stop".
void Updater::fail(const QString& reason)
{
    m_failed = true;
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
    discardPartFile();
    ui->downloadLabel->setText(tr("Download failed!"));
    ui->timeLabel->setText(reason);
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
        discardPartFile();
        reject();
        return;
    }
    hide();
    reject();
}

void Updater::openDownloadFile()
{
    if (m_finalPath.isEmpty()) { // nothing downloaded: never opens a file the window did not write
        UpgradeDlg box(tr("Updater"), tr("Cannot find downloaded update!"), QMessageBox::Close | QMessageBox::Critical,
                       this);
        box.exec();
        return;
    }
    const QUrl file = QUrl::fromLocalFile(m_finalPath);
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
