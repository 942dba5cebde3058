#include "web/WebProfileSetup.h"

#include "app/WebCachePath.h"

#include <QDebug>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

void setWebCachePath(QWebEngineProfile* profile, const QString& path)
{
    if (path.isEmpty()) {
        qWarning() << "setWebCachePath no program data folder: the browser keeps its own cache folder";
        return;
    }
    profile->setCachePath(path);
    profile->setPersistentStoragePath(path);
    qInfo().noquote() << QStringLiteral("QT Cache path = %1").arg(path);
}

void setWebCachePath()
{
    setWebCachePath(QWebEngineProfile::defaultProfile(), webCachePath());
}

void setupDefaultWebProfile()
{
    QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
    profile->setHttpUserAgent(QString::fromLatin1(kWebUserAgent));
    QWebEngineSettings* settings = QWebEngineSettings::defaultSettings();
    settings->setAttribute(QWebEngineSettings::WebGLEnabled, true);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, true);
}
