#pragma once

#include <QColor>
#include <QMenu>

// A pop-up menu with rounded corners on a dark blue-grey background.
class QRadiusMenu : public QMenu
{
    Q_OBJECT

public:
    explicit QRadiusMenu(QWidget* parent = nullptr);
    explicit QRadiusMenu(const QString& title);

    // The menu's style sheet and font; colour is the background of the selected item.
    void applyStyle(const QColor& colour);

private:
    void init();
};
