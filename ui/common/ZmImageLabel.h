#pragma once

#include <QLabel>

// A label that paints its pixmap as a circle as high as the label, at its left edge (a round portrait).
// Without a pixmap it paints like a plain label.
class ZmImageLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ZmImageLabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
