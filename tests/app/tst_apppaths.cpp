#include "app/AppPaths.h"

#include "ZmTestMain.h"

#include <QDir>
#include <QFileInfo>

class TestAppPaths : public QObject
{
    Q_OBJECT

private slots:
    void followsXdgFolders()
    {
        const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        QCOMPARE(AppPaths::programDataDir(), config + "/Zmhub/ZmQuillo_Desktop");
        QCOMPARE(AppPaths::userSettingsFilePath(), config + "/Zmhub/ZmQuillo_Desktop/viDaviro.ini");
    }

    void fallsBackToDataFolderWhenConfigIsUnusable()
    {
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        // A plain file where the configuration folder should be: nothing can be created below it.
        const QString blocker = QDir::homePath() + "/blocker";
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker));
        const QString dir = AppPaths::programDataDir();
        qputenv("XDG_CONFIG_HOME", saved);
        QCOMPARE(dir, qEnvironmentVariable("XDG_DATA_HOME") + "/Zmhub/ZmQuillo_Desktop");
        QVERIFY(QFileInfo(dir).isDir());
    }
};

ZM_TEST_MAIN_CORE(TestAppPaths)
#include "tst_apppaths.moc"
