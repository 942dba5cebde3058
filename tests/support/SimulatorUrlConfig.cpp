#include "Simulator.h"

#include "app/UrlConfig.h"

namespace ZmTest {

void Simulator::pointUrlConfig(UrlConfig& config) const
{
    const QString base = m_baseUrl;
    config.api = base;
    config.apiAlternates.clear();
    config.restful = base;
    config.restfulAlternates.clear();
    config.apmReport = base + QStringLiteral("/apm-store-web/messagePosted");
    config.testDownload = base + QStringLiteral("/files/logo_1MB.png");
    config.mainRoom = base + QStringLiteral("/pages/main");
    config.whiteboard = base + QStringLiteral("/pages/whiteboard");
    config.playbackWhiteboard = base + QStringLiteral("/pages/whiteboard/playback");
    QString socketBase = base;
    socketBase.replace(0, int(qstrlen("http")), QStringLiteral("ws"));
    config.webSocket = socketBase + QStringLiteral("/ws");
}

void Simulator::pointUrlConfig() const
{
    pointUrlConfig(*UrlConfig::instance());
}

} // namespace ZmTest
