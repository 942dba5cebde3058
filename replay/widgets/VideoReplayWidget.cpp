#include "replay/widgets/VideoReplayWidget.h"

#include "replay/widgets/ReplayResources.h"
#include "ui_VideoReplayWidget.h"

#include <QEvent>
#include <QResizeEvent>
#include <QWindow>

VideoReplayWidget::VideoReplayWidget(QWidget* parent)
    : QWidget(parent)
    , m_form(new Ui::VideoReplayWidget)
{
    ReplayResources::ensureLoaded();
    m_form->setupUi(this);
    // The native video surface makes its siblings native, so that they stay above the video; none of them may
    // make the window around the tile native.
    m_form->user_image->setAttribute(Qt::WA_DontCreateNativeAncestors);
    m_form->user_name->setAttribute(Qt::WA_DontCreateNativeAncestors);
}

VideoReplayWidget::~VideoReplayWidget()
{
    delete m_form;
}

VlcWidgetVideo* VideoReplayWidget::videoSurface() const
{
    return m_form->user_video;
}

void VideoReplayWidget::setUserImage(const QString& path)
{
    m_form->user_image->setStyleSheet(QStringLiteral("QLabel{border-image: url(%1);}").arg(path));
}

void VideoReplayWidget::setUserName(const QString& name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) {
        m_form->user_name->setProperty("opacity", 0);
        m_form->user_name->hide();
    } else {
        m_form->user_name->setProperty("opacity", 1);
    }
    m_form->user_name->setText(trimmed);
    placeUserName();
}

void VideoReplayWidget::setUserImageVisible(bool visible)
{
    m_form->user_image->setVisible(visible);
}

void VideoReplayWidget::setUserNameVisible(bool visible)
{
    m_form->user_name->setVisible(visible);
}

void VideoReplayWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (event->size() == event->oldSize())
        return;
    const int w = width();
    const int h = w * 3 / 4;
    const QRect area((width() - w) / 2, (height() - h) / 2, w, h);
    m_form->user_image->setGeometry(area);
    m_form->user_video->setGeometry(area);
    placeUserName();
}

bool VideoReplayWidget::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::ParentChange:
    case QEvent::Show:
        watchAncestors();
        placeNativeSurfaces();
        break;
    case QEvent::Move:
        placeNativeSurfaces();
        break;
    default:
        break;
    }
    return handled;
}

bool VideoReplayWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Move)
        placeNativeSurfaces();
    else if (event->type() == QEvent::ParentChange)
        watchAncestors();
    return QWidget::eventFilter(watched, event);
}

void VideoReplayWidget::watchAncestors()
{
    for (const QPointer<QWidget>& ancestor : qAsConst(m_watchedAncestors)) {
        if (ancestor)
            ancestor->removeEventFilter(this);
    }
    m_watchedAncestors.clear();
    for (QWidget* ancestor = parentWidget(); ancestor && !ancestor->isWindow(); ancestor = ancestor->parentWidget()) {
        ancestor->installEventFilter(this);
        m_watchedAncestors.append(ancestor);
    }
}

void VideoReplayWidget::placeNativeSurfaces()
{
    // Qt moves a native window with its own widget only: a move of an ancestor without a native window of its own
    // leaves it where it was.
    for (QWidget* surface : {static_cast<QWidget*>(m_form->user_video), static_cast<QWidget*>(m_form->user_image),
                             static_cast<QWidget*>(m_form->user_name)}) {
        QWindow* native = surface->internalWinId() ? surface->windowHandle() : nullptr;
        QWidget* nativeParent = surface->nativeParentWidget();
        if (!native || !nativeParent)
            continue;
        const QRect placed(surface->mapTo(nativeParent, QPoint(0, 0)), surface->size());
        if (native->geometry() != placed)
            native->setGeometry(placed);
    }
}

void VideoReplayWidget::placeUserName()
{
    QLabel* badge = m_form->user_name;
    badge->adjustSize();
    const QRect picture = m_form->user_image->geometry();
    badge->move(picture.right() - 10 - badge->width(), picture.bottom() - 10 - badge->height());
}
