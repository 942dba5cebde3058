#include "platform/ProgramPath.h"

#include <QFile>

#include <climits>
#include <unistd.h>

namespace Platform {

QString programFilePath()
{
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (length <= 0)
        return QString();
    return QFile::decodeName(QByteArray(buffer, int(length)));
}

} // namespace Platform
