#pragma once

#include <QEventLoop>
#include <QMap>
#include <QString>

class QTimer;
class Updater;

// The start-up check of the program's version and of the installed offline web resources against the class
// service. It may offer an optional program update, force one, or download and install a new web-resource
// archive, each through the Updater window. checkVersion() tells whether the start may go on.
class VersionChecker : public QEventLoop
{
    Q_OBJECT

public:
    // The verdicts of "checkResult" and "web.checkResult".
    enum Verdict
    {
        Verdict_Optional = 2,
        Verdict_Forced = 3,
    };

    explicit VersionChecker(QObject* parent = nullptr);
    ~VersionChecker() override;

    // The whole check; blocks (with nested event loops while a window is shown). False: end the program.
    bool checkVersion();

    Updater* updater() const { return m_updater; }
    int checkResult() const { return m_checkResult; }
    QString updateAddress() const { return m_updateAddress; }
    QString latestVersion() const { return m_latestVersion; }
    QString description() const { return m_description; }

    // A verdict text as a number; empty or non-numeric texts read as 0.
    static int verdictOf(const QString& text);

signals:
    // Just before the check shows any window.
    void sigUiShowed();

public slots:
    void timeout();

private:
    bool askForOptionalUpdate();
    bool checkWebResources(const QMap<QString, QString>& info);

    QTimer* m_timer = nullptr;
    Updater* m_updater = nullptr;
    int m_checkResult = 0;
    QString m_updateAddress;
    QString m_latestVersion;
    QString m_description;
};
