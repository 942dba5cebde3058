#pragma once

#include "rooms/blocks/ClickGate.h"
#include "rooms/blocks/TranslucentDialog.h"

class QLabel;

// The star button that floats over a student's video tile: the student's star count and a star the teacher
// clicks to give one more. Clicks at least 1001 ms apart are passed on; at five stars it takes no more clicks.
// It follows the tile's top-right corner when the tile calls onWindowRSizeMove().
class StarDialog : public TranslucentDialog
{
    Q_OBJECT

public:
    // anchor: the video tile the button floats over; also its parent.
    explicit StarDialog(QWidget* anchor);
    ~StarDialog() override;

    // Shows n; five or more also takes clicks away (EnableClick(false)).
    void setStarCount(int n);
    // The shown count.
    int starCount() const;
    // Window opacity 1 or 0: the button keeps its place and size.
    void setVisibleByOpacity(bool visible);

signals:
    void sigUserStarClicked();

public slots:
    // Enabling is refused while the count is five or more; disabling first puts the star back at rest.
    void EnableClick(bool bEanable);
    void EnableClick();
    // Moves to the anchor's top-right corner, 10 pixels in from both edges.
    void onWindowRSizeMove();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    ClickGate m_lastClick;
    QWidget* m_starPanel;
    QLabel* m_starLabel;
    QLabel* m_starIcon;
    QWidget* m_anchor;
};
