#include "live/rtc/sim/SimTraceWriter.h"

#include <QDebug>
#include <QFileInfo>
#include <QJsonDocument>

#include <map>

std::shared_ptr<SimTraceWriter> SimTraceWriter::forPath(const QString& path)
{
    if (path.isEmpty())
        return nullptr;
    static std::mutex mutex;
    static std::map<QString, std::weak_ptr<SimTraceWriter>> writers;
    const QString key = QFileInfo(path).absoluteFilePath();
    std::lock_guard<std::mutex> lock(mutex);
    std::shared_ptr<SimTraceWriter> writer = writers[key].lock();
    if (!writer) {
        writer = std::make_shared<SimTraceWriter>(key);
        if (!writer->isOpen())
            return nullptr;
        writers[key] = writer;
    }
    return writer;
}

SimTraceWriter::SimTraceWriter(const QString& path)
    : m_file(path)
{
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        qWarning().noquote() << "SimTraceWriter cannot write the RTC trace" << path << m_file.errorString();
}

void SimTraceWriter::write(QJsonObject entry)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_file.isOpen())
        return;
    entry.insert(QStringLiteral("seq"), double(++m_sequence));
    m_file.write(QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n');
    m_file.flush();
}
