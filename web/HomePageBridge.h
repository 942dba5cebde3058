#pragma once

#include <QObject>
#include <QString>

class ZmMainWebRoom;

// What the home page reaches through its web channel as "vovozuzo": the six text properties of the home page view,
// relayed to it (reads and writes). Nothing else of the view or its window is reachable from the page. Owned by the
// view it serves.
class HomePageBridge : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString openzoomurl READ openzoomurl WRITE setopenzoomurl)
    Q_PROPERTY(QString pageloaded READ pageloaded WRITE setpageloaded)
    Q_PROPERTY(QString loginsuccess READ loginsuccess WRITE setloginsuccess)
    Q_PROPERTY(QString enterroom READ enterroom WRITE setenterroom)
    Q_PROPERTY(QString initfilepage READ initfilepage WRITE setinitfilepage)
    Q_PROPERTY(QString enterreplayer READ enterreplayer WRITE setenterreplayer)

public:
    explicit HomePageBridge(ZmMainWebRoom* view);

    QString openzoomurl() const;
    void setopenzoomurl(const QString& text);
    QString pageloaded() const;
    void setpageloaded(const QString& text);
    QString loginsuccess() const;
    void setloginsuccess(const QString& text);
    QString enterroom() const;
    void setenterroom(const QString& text);
    QString initfilepage() const;
    void setinitfilepage(const QString& text);
    QString enterreplayer() const;
    void setenterreplayer(const QString& text);

private:
    ZmMainWebRoom* m_view;
};
