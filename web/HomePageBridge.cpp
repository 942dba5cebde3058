#include "web/HomePageBridge.h"

#include "web/ZmMainWebRoom.h"

HomePageBridge::HomePageBridge(ZmMainWebRoom* view)
    : QObject(view)
    , m_view(view)
{
    setObjectName(QStringLiteral("HomePageBridge"));
}

QString HomePageBridge::openzoomurl() const
{
    return m_view->openzoomurl();
}

void HomePageBridge::setopenzoomurl(const QString& text)
{
    m_view->setopenzoomurl(text);
}

QString HomePageBridge::pageloaded() const
{
    return m_view->pageloaded();
}

void HomePageBridge::setpageloaded(const QString& text)
{
    m_view->setpageloaded(text);
}

QString HomePageBridge::loginsuccess() const
{
    return m_view->loginsuccess();
}

void HomePageBridge::setloginsuccess(const QString& text)
{
    m_view->setloginsuccess(text);
}

QString HomePageBridge::enterroom() const
{
    return m_view->enterroom();
}

void HomePageBridge::setenterroom(const QString& text)
{
    m_view->setenterroom(text);
}

QString HomePageBridge::initfilepage() const
{
    return m_view->initfilepage();
}

void HomePageBridge::setinitfilepage(const QString& text)
{
    m_view->setinitfilepage(text);
}

QString HomePageBridge::enterreplayer() const
{
    return m_view->enterreplayer();
}

void HomePageBridge::setenterreplayer(const QString& text)
{
    m_view->setenterreplayer(text);
}
