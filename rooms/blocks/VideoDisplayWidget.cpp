#include "rooms/blocks/VideoDisplayWidget.h"

#include "app/LogHandler.h"
#include "rooms/blocks/RoomBlocksResources.h"
#include "rooms/blocks/StarDialog.h"

#include <QBitmap>
#include <QIcon>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QWindow>

#include <algorithm>

namespace {

constexpr char kLayerProperty[] = "opacity";
constexpr int kRowMargin = 10;
constexpr int kRowFromBottom = 32;
constexpr int kMaxVolume = 255;

const char kMicOn[] = "image: url(:/imageRes/image/res/Mic1.png);border: 0px ";
const char kMicSilent[] = "image: url(:/imageRes/image/res/Mic1M.png);border: 0px ";
const char kMicOff[] = "image: url(:/imageRes/image/res/Mic1D.png);border: 0px ";

// The surface the RTC engine renders into: a native window that Qt never paints.
class VideoSurface : public QLabel
{
public:
    using QLabel::QLabel;

    void makeNative()
    {
        // The surface's sibling layers become native windows with it (stacked above it, so they stay visible);
        // none of them may make the tile or the room around it native.
        for (QObject* sibling : parent()->children()) {
            if (auto* layer = qobject_cast<QWidget*>(sibling))
                layer->setAttribute(Qt::WA_DontCreateNativeAncestors);
        }
        setAttribute(Qt::WA_PaintOnScreen);
        setAttribute(Qt::WA_NoSystemBackground);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setUpdatesEnabled(false);
        setAttribute(Qt::WA_NativeWindow);
    }

    QPaintEngine* paintEngine() const override
    {
        return testAttribute(Qt::WA_PaintOnScreen) ? nullptr : QLabel::paintEngine();
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (!testAttribute(Qt::WA_PaintOnScreen))
            QLabel::paintEvent(event);
    }
};

void setLayerVisible(QWidget* layer, bool visible)
{
    layer->setProperty(kLayerProperty, visible ? 1 : 0);
    layer->setVisible(visible);
}

bool isLayerShown(const QWidget* layer)
{
    const QVariant value = layer->property(kLayerProperty);
    return !value.isValid() || value.toInt() != 0;
}

QFont pointFont(int points)
{
    QFont font;
    font.setPointSize(points);
    return font;
}

} // namespace

VideoDisplayWidget::VideoDisplayWidget(QWidget* parent)
    : QWidget(parent)
{
    RoomBlocksResources::ensureLoaded();
    setObjectName(QStringLiteral("VideoDisplayWidget"));
    resize(659, 429);

    // Creation order is stacking order: the surface at the bottom, the cover above the buttons, the texts on top.
    m_userVideo = new VideoSurface(this);
    m_userVideo->setObjectName(QStringLiteral("userVideo"));

    m_micPanel = new QWidget(this);
    m_micPanel->setObjectName(QStringLiteral("micPanel"));
    m_micPanel->setMinimumSize(22, 22);
    m_micPanel->setMaximumSize(22, 22);
    m_micPanel->resize(22, 22);
    m_micPanel->setStyleSheet(QString());

    m_micButton = new QPushButton(m_micPanel);
    m_micButton->setObjectName(QStringLiteral("micButton"));
    m_micButton->setGeometry(0, 0, 22, 22);
    m_micButton->setFixedSize(22, 22);
    m_micButton->setStyleSheet(QString::fromLatin1(kMicOn));
    m_micButton->setIconSize(QSize(12, 16));
    m_micButton->setCheckable(true);
    m_micButton->setChecked(true);
    m_micButton->setFlat(true);

    // The level fills the capsule of the microphone picture.
    m_micVolume = new QProgressBar(m_micPanel);
    m_micVolume->setObjectName(QStringLiteral("micVolume"));
    m_micVolume->setGeometry(9, 4, 4, 8);
    m_micVolume->setStyleSheet(QStringLiteral("QProgressBar {border: 0px solid grey;background-color: "
                                              "#B9B9B9;}QProgressBar::chunk {background-color:#0BC709;}"));
    m_micVolume->setOrientation(Qt::Vertical);
    m_micVolume->setInvertedAppearance(false);
    m_micVolume->setTextVisible(false);

    m_panButton = new QPushButton(this);
    m_panButton->setObjectName(QStringLiteral("panButton"));
    m_panButton->setFixedSize(22, 22);
    m_panButton->setStyleSheet(
        QStringLiteral("QWidget{color:#FFFFFF;background-color:rgba(36,49,56,120);border-radius:3px;}"));
    QIcon pan;
    pan.addFile(QStringLiteral(":/imageRes/image/res/Pan1.png"), QSize(), QIcon::Normal, QIcon::Off);
    pan.addFile(QStringLiteral(":/imageRes/image/res/Pan1D.png"), QSize(), QIcon::Normal, QIcon::On);
    m_panButton->setIcon(pan);
    m_panButton->setIconSize(QSize(14, 16));
    m_panButton->setCheckable(true);
    m_panButton->setChecked(false);
    m_panButton->setFlat(true);

    m_userDefaultImage = new QLabel(this);
    m_userDefaultImage->setObjectName(QStringLiteral("userDefaultImage"));
    m_userDefaultImage->setScaledContents(true);

    m_userName = new QLabel(this);
    m_userName->setObjectName(QStringLiteral("userName"));
    m_userName->setFont(pointFont(11));
    m_userName->setAlignment(Qt::AlignCenter);
    m_userName->setStyleSheet(QStringLiteral("color:#FFFFFF;background-color:rgba(36,49,56,120);border-radius:3px;"
                                             "padding-left:10px;padding-right:10px;"));
    m_userName->setText(tr("Name"));

    m_userOffline = new QLabel(this);
    m_userOffline->setObjectName(QStringLiteral("userOffline"));
    m_userOffline->setFont(pointFont(11));
    m_userOffline->setAlignment(Qt::AlignCenter);
    m_userOffline->setStyleSheet(QStringLiteral("color:#000000;padding:0px;"));
    m_userOffline->setText(tr("Offline"));

    m_actionName = new QLabel(this);
    m_actionName->setObjectName(QStringLiteral("actionName"));
    m_actionName->setFont(pointFont(11));
    m_actionName->setAlignment(Qt::AlignCenter);
    m_actionName->setStyleSheet(QStringLiteral("color:#000000;padding:0px;"));
    m_actionName->setText(tr("action"));

    const auto makeEdge = [this](const char* name) {
        auto* edge = new QWidget(this);
        edge->setObjectName(QLatin1String(name));
        edge->setAttribute(Qt::WA_StyledBackground, true);
        edge->setStyleSheet(QStringLiteral("QWidget{border:1px solid rgb(36,49,56);}"));
        return edge;
    };
    m_edgeTop = makeEdge("edgeTop");
    m_edgeBottom = makeEdge("edgeBottom");
    m_edgeLeft = makeEdge("edgeLeft");
    m_edgeRight = makeEdge("edgeRight");

    m_micVolume->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    m_micVolume->setMask(QBitmap(QStringLiteral(":/imageRes/image/res/AudioVolume_Mask.bmp")));
    m_micVolume->setMaximum(kMaxVolume);
    connect(m_micButton, SIGNAL(clicked(bool)), this, SLOT(onUserMicClicked(bool)));
    setMicVolume(0);
    connect(m_panButton, SIGNAL(clicked(bool)), this, SLOT(onUserControlClicked(bool)));
    setLayerVisible(m_userName, false);

    m_userOffline->setStyleSheet(QStringLiteral("color:#7E8495;"));
    QFont offlineFont(QStringLiteral("Microsoft YaHei"), 12);
    offlineFont.setWeight(QFont::Normal);
    m_userOffline->setFont(offlineFont);
    m_userOffline->adjustSize();
    m_userOffline->setFixedSize(m_userOffline->width() + 10, m_userOffline->height());
    setLayerVisible(m_userOffline, true);
    m_actionName->setText(QString());
    relayout();
}

VideoDisplayWidget::~VideoDisplayWidget() = default;

WId VideoDisplayWidget::videoWinId()
{
    auto* surface = static_cast<VideoSurface*>(m_userVideo);
    if (!surface->internalWinId()) {
        surface->makeNative();
        surface->winId();
        placeNativeLayers();
    }
    return surface->winId();
}

void VideoDisplayWidget::placeNativeLayers()
{
    // Qt places a native window made inside a widget without a window of its own at the widget's origin, and does
    // not move it with the widget later: each native layer is put where its widget is.
    const QWidget* nativeParent = nativeParentWidget();
    if (!nativeParent)
        return;
    for (QObject* object : children()) {
        auto* layer = qobject_cast<QWidget*>(object);
        QWindow* window = layer && layer->internalWinId() ? layer->windowHandle() : nullptr;
        if (window && !layer->isWindow())
            window->setPosition(layer->mapTo(nativeParent, QPoint(0, 0)));
    }
}

void VideoDisplayWidget::setUserOnline(bool showCover)
{
    if (showCover) {
        setLayerVisible(m_userDefaultImage, true);
        if (m_starDialog)
            m_starDialog->hide();
        return;
    }
    setStatusText(QString());
    setLayerVisible(m_userOffline, false);
    setLayerVisible(m_userDefaultImage, false);
    if (m_starDialog)
        m_starDialog->show();
}

void VideoDisplayWidget::setUserImage(const QString& path)
{
    m_userDefaultImage->setStyleSheet(QStringLiteral("QLabel{border-image: url(%1);}").arg(path));
}

void VideoDisplayWidget::setStatusText(const QString& text)
{
    m_actionName->setText(text);
    m_actionName->setVisible(!text.isEmpty());
    if (!text.isEmpty()) {
        m_actionName->adjustSize();
        relayout();
    }
}

QString VideoDisplayWidget::statusText() const
{
    return m_actionName->isVisibleTo(this) ? m_actionName->text() : QString();
}

void VideoDisplayWidget::setOfflineLabelVisible(bool visible)
{
    setLayerVisible(m_userOffline, visible);
}

bool VideoDisplayWidget::isCoverVisible() const
{
    return m_userDefaultImage->isVisibleTo(this);
}

bool VideoDisplayWidget::isOfflineLabelVisible() const
{
    return m_userOffline->isVisibleTo(this);
}

void VideoDisplayWidget::setUserName(const QString& name)
{
    m_userName->setText(name);
    m_userName->adjustSize();
    relayout();
}

void VideoDisplayWidget::setUserNameVisible(bool visible)
{
    setLayerVisible(m_userName, visible);
    relayout();
}

void VideoDisplayWidget::setMicVisible(bool visible)
{
    setLayerVisible(m_micPanel, visible);
    relayout();
}

void VideoDisplayWidget::setMicEnabled(bool enabled)
{
    m_micButton->setEnabled(enabled);
}

void VideoDisplayWidget::setMicChecked(bool checked)
{
    m_micButton->setChecked(checked);
    applyMicIcon();
}

void VideoDisplayWidget::setMicVolume(int volume)
{
    m_micVolume->setValue(std::clamp(volume, 0, kMaxVolume));
    applyMicIcon();
}

void VideoDisplayWidget::setControlVisible(bool visible)
{
    setLayerVisible(m_panButton, visible);
    relayout();
}

void VideoDisplayWidget::setControlEnabled(bool enabled)
{
    m_panButton->setEnabled(enabled);
}

void VideoDisplayWidget::setControlChecked(bool checked)
{
    m_panButton->setChecked(checked);
}

StarDialog* VideoDisplayWidget::starDialog()
{
    if (!m_starDialog) {
        m_starDialog = new StarDialog(this);
        connect(this, SIGNAL(sigWindowRSizeMove()), m_starDialog, SLOT(onWindowRSizeMove()), Qt::QueuedConnection);
        logEmitSignal("sigWindowRSizeMove");
        emit sigWindowRSizeMove();
    }
    m_starDialog->setVisible(!isCoverVisible());
    return m_starDialog;
}

void VideoDisplayWidget::onUserMicClicked(bool checked)
{
    logEmitSignal("sigUserEnableMic");
    emit sigUserEnableMic(checked);
}

void VideoDisplayWidget::onUserControlClicked(bool checked)
{
    logEmitSignal("sigUserEnableControl");
    emit sigUserEnableControl(checked);
}

void VideoDisplayWidget::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    placeNativeLayers();
}

void VideoDisplayWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (event->size() != event->oldSize()) {
        const int height43 = width() * 3 / 4;
        if (height() != height43)
            resize(width(), height43);
    }
    relayout();
    placeNativeLayers();
    logEmitSignal("sigWindowRSizeMove");
    emit sigWindowRSizeMove();
}

void VideoDisplayWidget::relayout()
{
    const int W = width();
    const int H = height();
    m_actionName->move((W - m_actionName->width()) / 2, (H - m_actionName->height()) / 2);

    m_userVideo->move(0, 0);
    m_userVideo->setFixedSize(W, H);
    m_edgeTop->setGeometry(0, 0, W, 1);
    m_edgeLeft->setGeometry(0, 0, 1, H);
    m_edgeBottom->setGeometry(0, H - 1, W, 1);
    m_edgeRight->setGeometry(W - 1, 0, 1, H);
    m_userDefaultImage->move(0, 0);
    m_userDefaultImage->setFixedSize(W, H);

    QPoint p(kRowMargin, H - kRowFromBottom);
    m_userOffline->move(p);
    if (isLayerShown(m_micPanel)) {
        m_micPanel->move(p);
        p.rx() += m_micPanel->width() + kRowMargin;
    }
    if (isLayerShown(m_panButton)) {
        m_panButton->move(p);
        p.rx() += m_panButton->width() + kRowMargin;
    }
    if (isLayerShown(m_userName))
        m_userName->move(W - kRowMargin - m_userName->width(), H - kRowMargin - m_userName->height());
}

void VideoDisplayWidget::applyMicIcon()
{
    if (!m_micButton->isChecked()) {
        m_micButton->setStyleSheet(QString::fromLatin1(kMicOff));
        m_micVolume->hide();
    } else if (m_micVolume->value() < 1) {
        m_micButton->setStyleSheet(QString::fromLatin1(kMicSilent));
        m_micVolume->hide();
    } else {
        m_micButton->setStyleSheet(QString::fromLatin1(kMicOn));
        m_micVolume->show();
    }
}
