#pragma once

#include <QByteArray>
#include <QString>

#include <sys/resource.h>

namespace ZmTest {

// Writes data as the whole file, creating its folder when missing; true when everything was written.
bool writeFile(const QString& path, const QByteArray& data);

// The file's bytes; empty when it can't be read.
QByteArray readFile(const QString& path);

// While it lives, this process cannot write a file beyond bytes, as on a full disk; the signal such a write raises
// is ignored, so that the write fails instead. One at a time.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool isSet() const { return m_set; }

private:
    rlimit m_previous{};
    void (*m_handler)(int) = nullptr;
    bool m_set = false;
};

} // namespace ZmTest
