#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class QResizeEvent;
class VlcWidgetVideo;

namespace Ui {
class VideoReplayWidget;
}

// The tile of one participant's recorded video: the video surface (user_video), the participant's placeholder
// picture laid over it while no video plays (user_image) and the name badge at its lower right (user_name). The
// picture and the video fill a 4:3 area as wide as the tile, centred vertically.
class VideoReplayWidget : public QWidget
{
    Q_OBJECT

public:
    explicit VideoReplayWidget(QWidget* parent = nullptr);
    ~VideoReplayWidget() override;

    // The placeholder picture, a resource path such as ":/imageRes/image/res/teacher2.png".
    void setUserImage(const QString& path);
    // The badge shows the trimmed name. An empty name hides the badge, and a later name does not show it again.
    void setUserName(const QString& name);
    void setUserImageVisible(bool visible);
    void setUserNameVisible(bool visible);

    // The form's user_video: the surface a player draws into.
    VlcWidgetVideo* videoSurface() const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Sizes the badge to its text and puts it 10 pixels inside the picture's lower right corner.
    void placeUserName();
    // Watches the moves of the widgets between the tile and its window, which do not move the native surfaces.
    void watchAncestors();
    // Puts the native windows of the surfaces where their widgets are now.
    void placeNativeSurfaces();

    Ui::VideoReplayWidget* m_form;
    QList<QPointer<QWidget>> m_watchedAncestors;
};
