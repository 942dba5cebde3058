#include "rooms/widgets/CoursewareViewer.h"

#include "ui/common/ToastDialog.h"
#include "web/whiteboard/Whiteboard.h"

#include <QLabel>

namespace {

constexpr int kToastGapMs = 500;
constexpr int kToastTop = 10;

} // namespace

CoursewareViewer::CoursewareViewer(QWidget* parent)
    : QWidget(parent)
    , m_whiteboard(new Whiteboard(this))
    , m_shareSurface(new QLabel(this))
    , m_toast(new ToastDialog(this))
{
    m_shareSurface->setObjectName(QStringLiteral("share_surface"));
    // The engine draws into this window only; its siblings and ancestors stay as they are.
    m_shareSurface->setAttribute(Qt::WA_DontCreateNativeAncestors);
    m_shareSurface->setAttribute(Qt::WA_NativeWindow);
    m_shareSurface->hide();
    m_toast->hide();
    connect(m_toast, &ToastDialog::sigToastShowTimeOut, this, &CoursewareViewer::slotToastShowTimeOut);

    m_toastGap.setSingleShot(true);
    m_toastGap.setTimerType(Qt::PreciseTimer);
    m_toastGap.setInterval(kToastGapMs);
    connect(&m_toastGap, &QTimer::timeout, this, &CoursewareViewer::slotToastShowTimeOut2);
}

CoursewareViewer::~CoursewareViewer() = default;

void CoursewareViewer::setViewMode(int mode)
{
    if (mode != WhiteboardView && mode != ShareSurfaceView)
        return;
    m_viewMode = mode;
    m_whiteboard->setVisible(mode == WhiteboardView);
    m_shareSurface->setVisible(mode == ShareSurfaceView);
    // The view coming up fills the viewer now, not only at the next resize.
    shownView()->setFixedSize(size());
}

WId CoursewareViewer::shareSurfaceWinId() const
{
    return m_shareSurface->winId();
}

void CoursewareViewer::showToast(int kind, const QString& text)
{
    if (m_pendingToasts.isEmpty() && m_toast->isHidden() && !m_toastGap.isActive())
        placeToast(kind, text);
    else
        m_pendingToasts.append(qMakePair(kind, text));
}

void CoursewareViewer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    shownView()->setFixedSize(size());
}

void CoursewareViewer::slotToastShowTimeOut()
{
    m_toastGap.start();
}

void CoursewareViewer::slotToastShowTimeOut2()
{
    if (m_pendingToasts.isEmpty())
        return;
    const QPair<int, QString> next = m_pendingToasts.takeFirst();
    placeToast(next.first, next.second);
}

void CoursewareViewer::placeToast(int kind, const QString& text)
{
    m_toast->showToast(kind, text);
    int y = kToastTop;
    if (m_viewMode == WhiteboardView)
        y += m_whiteboard->lessonTitleHeight() / 2;
    const QPoint position((width() - m_toast->width()) / 2, y);
    m_toast->move(mapToGlobal(position));
}

QWidget* CoursewareViewer::shownView() const
{
    if (m_viewMode == ShareSurfaceView)
        return m_shareSurface;
    return m_whiteboard;
}
