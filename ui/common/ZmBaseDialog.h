#pragma once

#include <QColor>
#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>

class MyTitleBar;

// Base of the large windows (main window, class rooms, replays): a frameless window that paints its own
// background and carries MyTitleBar across its top edge. It fills the available desktop area on maximise,
// centres itself at its normal size on restore, minimises (or hides, as a tool window) and opens the network
// tips from the title bar's network button. Derived windows configure and connect the rest of the title bar.
class ZmBaseDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ZmBaseDialog(QWidget* parent = nullptr);
    ~ZmBaseDialog() override;

    void setBackgroundColor(const QColor& color) { m_backgroundColor = color; }
    QColor backgroundColor() const { return m_backgroundColor; }

    // The restore size, stored as it is (no clamping, no resize now).
    void setNormalSize(int width, int height) { m_normalSize = QSize(width, height); }
    QSize normalSize() const { return m_normalSize; }

    MyTitleBar* titleBar() const { return m_titleBar; }

    // The geometry rules, given the available desktop area.
    // The normal size no larger than the area, width and height each on its own.
    static QSize clampedNormalSize(const QSize& normalSize, const QRect& available);
    // The whole area but its last pixel row.
    static QRect maximizedGeometry(const QRect& available);
    // Centred by the area's width and height alone; the area's offset is not added.
    static QPoint restoredPosition(const QSize& normalSize, const QRect& available);

    // The available area of the default screen; empty when there is no screen.
    static QRect availableDesktopArea();

public slots:
    void onButtonNetworkStatusClicked();
    void onShareDesktop_MinBtn_Clicked();
    void onButtonRestoreClicked();
    void onButtonMaxClicked();
    void onTitleCloseBtnClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    MyTitleBar* m_titleBar = nullptr;
    QColor m_backgroundColor = QColor(255, 255, 255, 255);
    QSize m_normalSize = QSize(1366, 768);

private:
    void initTitleBar();
};
