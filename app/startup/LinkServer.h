#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// Receives links from later starts of the program over a local socket and delivers each to the application as a
// file-open event (QFileOpenEvent with the link as its URL), the way a desktop delivers an opened link to a
// running program. One line per connection: the link in UTF-8 and "\n"; the reply is "ok\n" when the link was
// taken, "no\n" when the text was not a link of the program's scheme. A connection from a process of another
// user is closed without an answer.
class LinkServer : public QObject
{
    Q_OBJECT

public:
    // Longest line taken; a longer one is refused.
    static constexpr int kMaxLinkBytes = 64 * 1024;

    explicit LinkServer(QObject* parent = nullptr);
    ~LinkServer() override;

    // Listens on the socket at path (only this user may connect); a socket file left by an ended copy is
    // removed first, so call it only while holding the single-instance lock. False when listening failed.
    bool listen(const QString& path);
    QString errorString() const;

private slots:
    void onNewConnection();

private:
    void readLine(QLocalSocket* socket);

    QLocalServer* m_server = nullptr;
};

// Hands link to the copy listening at path; true when it answered that it took the link. Blocks up to
// timeoutMs, trying again while the running copy has not started listening yet. Nothing is sent when the
// listener runs as another user.
bool forwardLinkToRunningCopy(const QString& path, const QString& link, int timeoutMs);
