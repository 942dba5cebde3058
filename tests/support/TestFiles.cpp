#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>

namespace ZmTest {

bool writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    m_handler = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &m_previous);
    rlimit limit = m_previous;
    limit.rlim_cur = bytes;
    m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_previous);
    std::signal(SIGXFSZ, m_handler);
}

} // namespace ZmTest
