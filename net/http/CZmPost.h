#pragma once

#include <QByteArray>
#include <QThread>

// Sends one text in one HTTP POST on a thread of its own, then releases itself. Created without a parent;
// once post() started it, nobody else may delete it.
class CZmPost : public QThread
{
    Q_OBJECT

public:
    explicit CZmPost(QObject* parent = nullptr);
    ~CZmPost() override;

    // Stores the address and the body and starts the thread with the inherited priority. Only the first call
    // of an object posts; later calls return false.
    bool post(const QByteArray& address, const QByteArray& body);

    // The libcurl result of the transfer (-1 before one ran); read it only after the thread finished.
    int result() const { return m_result; }

    static constexpr long kConnectSeconds = 3;
    static constexpr long kTotalSeconds = 120;
    // The reply is not read; more than this is not kept.
    static constexpr int kMaxReplyBytes = 1 << 20;

protected:
    void run() override;

private:
    static size_t appendReply(char* data, size_t size, size_t count, void* target);

    QByteArray m_address;
    QByteArray m_body;
    int m_result = -1;
    QByteArray m_reply;
    bool m_posted = false;
};
