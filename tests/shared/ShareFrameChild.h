#pragma once

#include "WaitUntil.h"

#include <QCoreApplication>
#include <QDebug>
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

// The share_frame_child helper process (beside the test executable), with bounded waits for its lines. When a wait
// runs out, what it wrote to its error output is logged.
class ShareFrameChild
{
public:
    explicit ShareFrameChild(const QStringList& arguments)
    {
        m_process.start(QCoreApplication::applicationDirPath() + "/share_frame_child", arguments);
    }
    ~ShareFrameChild()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(ZmTest::kWaitMs);
        }
    }

    ShareFrameChild(const ShareFrameChild&) = delete;
    ShareFrameChild& operator=(const ShareFrameChild&) = delete;

    // The next line of output, or an empty string when none came within timeoutMs.
    QString nextLine(int timeoutMs = ZmTest::kStartWaitMs)
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_process.canReadLine()) {
            if (timer.elapsed() > timeoutMs)
                return giveUp(QStringLiteral("no line within %1 ms").arg(timeoutMs));
            if (!m_process.waitForReadyRead(50) && m_process.state() == QProcess::NotRunning &&
                !m_process.canReadLine())
                return giveUp(QStringLiteral("it ended (exit code %1)").arg(m_process.exitCode()));
        }
        return QString::fromLatin1(m_process.readLine()).trimmed();
    }

    // Writes one line to its standard input.
    bool tell(const QByteArray& line)
    {
        m_process.write(line + '\n');
        return m_process.waitForBytesWritten(ZmTest::kWaitMs);
    }

    // The exit code; -1 when it did not end in time, -2 when it crashed.
    int finish()
    {
        if (!m_process.waitForFinished(ZmTest::kWaitMs)) {
            giveUp(QStringLiteral("it did not end"));
            return -1;
        }
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -2;
    }

    void killNow()
    {
        m_process.kill();
        m_process.waitForFinished(ZmTest::kWaitMs);
    }

private:
    QString giveUp(const QString& why)
    {
        qWarning().noquote() << "share_frame_child" << m_process.arguments().join(' ') << ":" << why
                             << "; its error output:" << QString::fromLocal8Bit(m_process.readAllStandardError());
        return {};
    }

    QProcess m_process;
};
