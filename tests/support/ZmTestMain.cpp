#include "ZmTestMain.h"

#include "platform/FontFallback.h"

#include <QDir>
#include <QMetaMethod>
#include <QTemporaryDir>

#include <cstdlib>

namespace ZmTest {

namespace {

QTemporaryDir* s_home = nullptr;

void setIfUnset(const char* name, const QByteArray& value)
{
    if (qEnvironmentVariableIsEmpty(name))
        qputenv(name, value);
}

} // namespace

void prepareEnvironment(bool gui)
{
    s_home = new QTemporaryDir(QDir::tempPath() + "/zmtest-XXXXXX");
    const QByteArray home = QFile::encodeName(s_home->path());
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_DATA_HOME", home + "/.local/share");
    qputenv("XDG_CACHE_HOME", home + "/.cache");
    qputenv("XDG_RUNTIME_DIR", home + "/runtime");
    QDir().mkpath(s_home->path() + "/runtime");
    QFile::setPermissions(s_home->path() + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    std::atexit([] { delete s_home; });
    // No message buses of the desktop: the screen saver and the login manager stay untouched.
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + home + "/runtime/no-system-bus");

    // Shared frame objects of their own: a test never removes another run's, nor is removed by it.
    setIfUnset("ZM_SHARE_SCOPE", "t" + QByteArray::number(QCoreApplication::applicationPid()));
    setIfUnset("QTWEBENGINE_DISABLE_SANDBOX", "1");
    setIfUnset("QT_QUICK_BACKEND", "software");
    setIfUnset("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    if (gui && qEnvironmentVariableIsEmpty("DISPLAY"))
        setIfUnset("QT_QPA_PLATFORM", "offscreen");
    // The forms' font as the program finds it.
    if (gui)
        Platform::installUiFontFallback();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

QStringList testArguments(const QObject& test, int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QStringList part = qEnvironmentVariable("ZM_TEST_PART").split(QLatin1Char('/'));
    if (argc > 1 || part.size() != 2)
        return arguments;
    const int index = part.at(0).toInt();
    const int parts = part.at(1).toInt();
    if (parts < 1 || index < 1 || index > parts)
        return arguments;
    // QtTest runs the private slots without parameters; these four are not test functions of their own.
    static const QList<QByteArray> fixtures{"initTestCase", "cleanupTestCase", "init", "cleanup"};
    const QMetaObject* meta = test.metaObject();
    int position = 0;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        const QByteArray name = method.name();
        if (method.methodType() != QMetaMethod::Slot || method.access() != QMetaMethod::Private ||
            method.parameterCount() != 0 || name.endsWith("_data") || fixtures.contains(name))
            continue;
        if (position++ % parts == index - 1)
            arguments << QString::fromLatin1(name);
    }
    return arguments;
}

QString sourceDir()
{
    const QString dir = qEnvironmentVariable("ZM_SOURCE_DIR");
    return dir.isEmpty() ? QStringLiteral(ZM_TEST_SOURCE_DIR) : dir;
}

QString buildDir()
{
    const QString dir = qEnvironmentVariable("ZM_BUILD_DIR");
    return dir.isEmpty() ? QStringLiteral(ZM_TEST_BUILD_DIR) : dir;
}

QString programDir()
{
    const QString dir = qEnvironmentVariable("ZM_PROGRAM_DIR");
    return dir.isEmpty() ? QStringLiteral(ZM_TEST_PROGRAM_DIR) : dir;
}

} // namespace ZmTest
