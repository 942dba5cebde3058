// The start-up splash: the shipped pictures, shown centred, closed once however often it is asked.
#include "ui/common/SplashWindow.h"

#include "ZmTestMain.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWidget>

class TestSplashWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString picture(const QSize& size, const QColor& colour)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = m_dir.filePath(QString("splash_%1x%2.bmp").arg(size.width()).arg(size.height()));
        return image.save(path, "BMP") ? path : QString();
    }

private slots:
    void cleanup() { closeSplashWindow(); }

    void shippedPictures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("English") << "splash_en.bmp";
        QTest::newRow("Chinese") << "splash_cn.bmp";
    }

    // The build puts both pictures beside the program: opaque bitmaps of the splash's size.
    void shippedPictures()
    {
        QFETCH(QString, name);
        const QString path = ZmTest::programDir() + "/images/" + name;
        QImageReader reader(path);
        QCOMPARE(reader.format(), QByteArray("bmp"));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(path));
        QCOMPARE(image.size(), QSize(560, 320));
        QVERIFY(!image.hasAlphaChannel());
    }

    void pathByLanguage()
    {
        QVERIFY(splashImagePath(false).endsWith("/images/splash_en.bmp"));
        QVERIFY(splashImagePath(true).endsWith("/images/splash_cn.bmp"));
        QCOMPARE(QFileInfo(splashImagePath(true)).absolutePath(), QCoreApplication::applicationDirPath() + "/images");
    }

    void shownCentredWithThePicture()
    {
        const QString path = picture(QSize(300, 200), QColor(10, 120, 200));
        QWidget* splash = createSplashWindow(path);
        QVERIFY(splash);
        QCOMPARE(splashWindow(), splash);
        QVERIFY(splash->isVisible());
        QCOMPARE(splash->windowTitle(), QString("ZmQuillo"));
        QCOMPARE(splash->size(), QSize(300, 200));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(splash->pos(),
                 QPoint(screen.x() + (screen.width() - 300) / 2, screen.y() + (screen.height() - 200) / 2));
        QVERIFY(!splash->testAttribute(Qt::WA_QuitOnClose));

        const QImage shown = splash->grab().toImage();
        QCOMPARE(shown.pixelColor(150, 100), QColor(10, 120, 200));
    }

    void closingIsIdempotent()
    {
        QPointer<QWidget> splash = createSplashWindow(picture(QSize(40, 30), Qt::red));
        QVERIFY(splash);
        closeSplashWindow();
        QVERIFY(splash.isNull());
        QVERIFY(!splashWindow());
        closeSplashWindow();
        closeSplashWindow();
        QVERIFY(!splashWindow());
    }

    // Closing the splash is no window close: the program does not end with it.
    void closingDoesNotEndTheProgram()
    {
        createSplashWindow(picture(QSize(40, 30), Qt::green));
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
        closeSplashWindow();
        QCoreApplication::processEvents();
        QCOMPARE(lastClosed.count(), 0);
    }

    void aSecondSplashReplacesTheFirst()
    {
        QPointer<QWidget> first = createSplashWindow(picture(QSize(40, 30), Qt::red));
        QWidget* second = createSplashWindow(picture(QSize(50, 30), Qt::blue));
        QVERIFY(first.isNull());
        QCOMPARE(splashWindow(), second);
    }

    void missingPictureShowsNothing()
    {
        QVERIFY(!createSplashWindow(m_dir.filePath("missing.bmp")));
        QVERIFY(!splashWindow());
        closeSplashWindow();
    }
};

ZM_TEST_MAIN(TestSplashWindow)
#include "tst_splashwindow.moc"
