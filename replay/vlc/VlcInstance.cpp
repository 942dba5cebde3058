#include "replay/vlc/VlcInstance.h"

#include <QByteArray>
#include <QDebug>
#include <QVector>

#include <vlc/vlc.h>

#include <cstdio>

namespace {

// libvlc's log callback, on any of its threads.
void logMessage(void* data, int level, const libvlc_log_t* /*context*/, const char* format, va_list arguments)
{
    auto* instance = static_cast<VlcInstance*>(data);
    if (level < instance->logLevel())
        return;
    char text[1024];
    va_list copy;
    va_copy(copy, arguments);
    std::vsnprintf(text, sizeof text, format, copy);
    va_end(copy);
    if (level >= LIBVLC_ERROR)
        qWarning().noquote() << "libvlc:" << text;
    else
        qDebug().noquote() << "libvlc:" << text;
}

} // namespace

VlcInstance::VlcInstance(const QStringList& args, QObject* parent)
    : QObject(parent)
{
    QVector<QByteArray> texts;
    texts.reserve(args.size());
    for (const QString& arg : args)
        texts.append(arg.toUtf8());
    QVector<const char*> argv;
    argv.reserve(texts.size());
    for (const QByteArray& text : texts)
        argv.append(text.constData());
    m_core = libvlc_new(argv.size(), argv.constData());
    if (!m_core) {
        qWarning() << "VlcInstance: libvlc refused the arguments" << args << libvlc_errmsg();
        return;
    }
    libvlc_log_set(m_core, logMessage, this);
}

VlcInstance::~VlcInstance()
{
    if (!m_core)
        return;
    libvlc_log_unset(m_core);
    libvlc_release(m_core);
}

void VlcInstance::setLogLevel(Vlc::LogLevel level)
{
    m_logLevel.store(level);
}

QString VlcInstance::version()
{
    return QString::fromUtf8(libvlc_get_version());
}
