#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class StarDialog;

// One user's video tile in the normal and the public class rooms. The RTC engine draws the user's video into the
// native window of the child "userVideo" (videoWinId()); the tile paints no video itself. Above that window lie
// the cover picture, a status text, the "Offline" mark, the user's name, a microphone panel (button and volume
// bar), the whiteboard-control button, a one-pixel frame and, once asked for, the star button (StarDialog). The
// tile keeps a 4:3 shape: its height follows its width.
//
// Layers are shown and hidden together with the dynamic property "opacity" (1 shown, 0 hidden; a child without it
// counts as shown); the layout skips hidden ones.
class VideoDisplayWidget : public QWidget
{
    Q_OBJECT

public:
    explicit VideoDisplayWidget(QWidget* parent = nullptr);
    ~VideoDisplayWidget() override;

    // The native window of the video surface, created on the first call; the room hands it to the RTC engine as
    // the render target of this tile's user.
    WId videoWinId();

    // true: the cover goes up and the star button (when there is one) is hidden. false: the status text, the
    // "Offline" mark and the cover go, and the star button shows.
    void setUserOnline(bool showCover);
    // The cover's picture (a file or resource path).
    void setUserImage(const QString& path);
    // The text in the middle of the tile; an empty text hides it.
    void setStatusText(const QString& text);
    // The status text while it is shown, else empty.
    QString statusText() const;
    void setOfflineLabelVisible(bool visible);
    bool isCoverVisible() const;
    bool isOfflineLabelVisible() const;
    void setUserName(const QString& name);
    void setUserNameVisible(bool visible);
    void setMicVisible(bool visible);
    void setMicEnabled(bool enabled);
    void setMicChecked(bool checked);
    // 0 to 255 (values outside are clamped).
    void setMicVolume(int volume);
    void setControlVisible(bool visible);
    void setControlEnabled(bool enabled);
    void setControlChecked(bool checked);
    // The star button over the tile's top-right corner, created on the first call; shown exactly while the cover
    // is down.
    StarDialog* starDialog();

signals:
    void sigUserEnableMic(bool bEnable);
    void sigUserEnableControl(bool bEnable);
    // The tile was resized: the star button follows.
    void sigWindowRSizeMove();

public slots:
    void onUserMicClicked(bool checked);
    void onUserControlClicked(bool checked);

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void relayout();
    // Puts the native windows of the layers where their widgets are.
    void placeNativeLayers();
    void applyMicIcon();

    QLabel* m_userVideo;
    QWidget* m_micPanel;
    QPushButton* m_micButton;
    QProgressBar* m_micVolume;
    QPushButton* m_panButton;
    QLabel* m_userDefaultImage;
    QLabel* m_userName;
    QLabel* m_userOffline;
    QLabel* m_actionName;

    StarDialog* m_starDialog = nullptr;
    QWidget* m_edgeTop;
    QWidget* m_edgeBottom;
    QWidget* m_edgeLeft;
    QWidget* m_edgeRight;
};
