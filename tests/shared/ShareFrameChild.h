#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdint>

// The checksum share_frame_child reports for a frame's pixels (FNV-1a).
inline uint32_t shareFrameChecksum(const uint8_t* data, uint64_t size)
{
    uint32_t hash = 2166136261u;
    for (uint64_t i = 0; i < size; ++i)
        hash = (hash ^ data[i]) * 16777619u;
    return hash;
}

// The share_frame_child helper process (beside the test executable), with bounded waits for its lines.
class ShareFrameChild
{
public:
    explicit ShareFrameChild(const QStringList& arguments)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QCoreApplication::applicationDirPath() + "/share_frame_child", arguments);
    }
    ~ShareFrameChild()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    ShareFrameChild(const ShareFrameChild&) = delete;
    ShareFrameChild& operator=(const ShareFrameChild&) = delete;

    // The next line of output, or an empty string when none came within timeoutMs.
    QString nextLine(int timeoutMs = 10000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_process.canReadLine()) {
            if (timer.elapsed() > timeoutMs)
                return {};
            if (!m_process.waitForReadyRead(50) && m_process.state() == QProcess::NotRunning &&
                !m_process.canReadLine())
                return {};
        }
        return QString::fromLatin1(m_process.readLine()).trimmed();
    }

    // The exit code; -1 when it did not end within 10 s, -2 when it crashed.
    int finish()
    {
        if (!m_process.waitForFinished(10000))
            return -1;
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -2;
    }

    void killNow()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

private:
    QProcess m_process;
};
