#include "ui/common/QRadiusMenu.h"

#include <QFont>

QRadiusMenu::QRadiusMenu(QWidget* parent)
    : QMenu(parent)
{
    init();
}

QRadiusMenu::QRadiusMenu(const QString& title)
    : QMenu(title)
{
    init();
}

void QRadiusMenu::init()
{
    applyStyle(QColor(QStringLiteral("#2B5060")));
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground, true);
    setObjectName(QStringLiteral("CustomMenu"));
}

void QRadiusMenu::applyStyle(const QColor& colour)
{
    setStyleSheet(QStringLiteral("QMenu{background-color:#2E4048; color:#D2EAF7; border:0px solid rgb(125,125,125); "
                                 "border-radius:5px;}\n"
                                 "QMenu::item{background-color:transparent; padding:10px 20px; border-radius:5px;}\n"
                                 "QMenu::item:selected{background-color:%1;}")
                      .arg(colour.name()));
    setFont(QFont(QStringLiteral("Microsoft YaHei"), 12, 50));
}
