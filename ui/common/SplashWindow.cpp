#include "ui/common/SplashWindow.h"

#include "app/ProgramFiles.h"
#include "app/SystemInfo.h"

#include <QCoreApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

constexpr int kExposeWaitMs = 500;

// A frameless window that paints its picture centred in its client area.
class SplashWidget : public QWidget
{
public:
    explicit SplashWidget(const QImage& image)
        : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
        , m_image(image)
    {
        setObjectName(QStringLiteral("ZmSplashWindow"));
        setWindowTitle(QStringLiteral("ZmQuillo"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_QuitOnClose, false);
        setFixedSize(image.size());
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QPoint topLeft((width() - m_image.width()) / 2, (height() - m_image.height()) / 2);
        painter.drawImage(topLeft, m_image);
    }

private:
    QImage m_image;
};

QPointer<QWidget> s_splash;

// Lets the window system show the window before start-up goes on with work that blocks the GUI thread.
void paintNow(QWidget* window)
{
    window->repaint();
    QWindow* handle = window->windowHandle();
    QElapsedTimer waited;
    waited.start();
    while (handle && !handle->isExposed() && waited.elapsed() < kExposeWaitMs)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

QString splashImagePath(bool chinese)
{
    return getModulePathPart(0) + (chinese ? "images/splash_cn.bmp" : "images/splash_en.bmp");
}

QWidget* createSplashWindow()
{
    return createSplashWindow(splashImagePath(isChineseUiLanguage()));
}

QWidget* createSplashWindow(const QString& imagePath)
{
    closeSplashWindow();
    const QImage image(imagePath);
    if (image.isNull()) {
        qWarning().noquote() << "createSplashWindow cannot read" << imagePath << "- starting without a splash";
        return nullptr;
    }

    auto* window = new SplashWidget(image);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        window->move(area.x() + (area.width() - image.width()) / 2, area.y() + (area.height() - image.height()) / 2);
    }
    window->show();
    paintNow(window);
    s_splash = window;
    qInfo().noquote() << "createSplashWindow shown" << imagePath;
    return window;
}

void closeSplashWindow()
{
    if (!s_splash)
        return;
    QWidget* window = s_splash;
    s_splash = nullptr;
    delete window;
    qInfo() << "closeSplashWindow closed";
}

QWidget* splashWindow()
{
    return s_splash;
}
