#include "net/http/CZmPost.h"

#include <QtDebug>

#include <curl/curl.h>

CZmPost::CZmPost(QObject* parent)
    : QThread(parent)
{
    qDebug() << "CZmPost::CZmPost()";
}

CZmPost::~CZmPost()
{
    qDebug() << "CZmPost::~CZmPost()";
}

bool CZmPost::post(const QByteArray& address, const QByteArray& body)
{
    if (m_posted) {
        qWarning() << "CZmPost::post called twice; the first post stands";
        return false;
    }
    m_posted = true;
    m_address = address;
    m_body = body;
    // Released once the transfer has ended and the thread is done, never while it runs.
    connect(this, &QThread::finished, this, &QObject::deleteLater);
    start(QThread::InheritPriority);
    return true;
}

size_t CZmPost::appendReply(char* data, size_t size, size_t count, void* target)
{
    auto* reply = static_cast<QByteArray*>(target);
    const size_t bytes = size * count;
    if (!reply || !data)
        return 0;
    if (reply->size() + qint64(bytes) <= kMaxReplyBytes)
        reply->append(data, int(bytes));
    return bytes;
}

void CZmPost::run()
{
    CURL* curl = curl_easy_init();
    if (!curl) {
        qWarning() << "CZmPost::run cannot create a transfer handle";
        return;
    }
    curl_slist* headers = curl_slist_append(nullptr, "Content-Type:application/x-www-form-urlencoded;charset=UTF-8");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_URL, m_address.constData());
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(m_body.size()));
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, m_body.constData());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, kTotalSeconds);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CZmPost::appendReply);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &m_reply);
    m_result = int(curl_easy_perform(curl));
    if (m_result != CURLE_OK)
        qWarning().noquote() << "CZmPost::run the post failed:" << curl_easy_strerror(CURLcode(m_result));
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    qDebug() << "CZmPost::deleteLater()";
}
