#include "replay/vlc/VlcMedia.h"

#include "replay/vlc/VlcInstance.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <vlc/vlc.h>

VlcMedia::VlcMedia(const QString& location, VlcInstance* instance, QObject* parent)
    : QObject(parent)
    , m_location(location)
{
    if (!instance || !instance->core()) {
        qWarning() << "VlcMedia: no libvlc instance for" << location;
        return;
    }
    if (isAddress(location))
        m_core = libvlc_media_new_location(instance->core(), location.toUtf8().constData());
    else
        m_core = libvlc_media_new_path(instance->core(), QFile::encodeName(QDir::toNativeSeparators(location)));
    if (!m_core)
        qWarning() << "VlcMedia: libvlc refused" << location << libvlc_errmsg();
}

VlcMedia::~VlcMedia()
{
    if (m_core)
        libvlc_media_release(m_core);
}

qint64 VlcMedia::duration() const
{
    return m_core ? libvlc_media_get_duration(m_core) : -1;
}

bool VlcMedia::isAddress(const QString& location)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+://"));
    return scheme.match(location).hasMatch();
}
