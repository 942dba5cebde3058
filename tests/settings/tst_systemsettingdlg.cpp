// The rendering settings dialog: the stored values it shows (program-folder settings, then the user's), the
// confirmation, what its OK writes to the user's settings, and the restart through an injected launcher.
#include "settings/SystemSettingDlg.h"

#include "app/ConfigManager.h"
#include "app/ProgramFiles.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/ProgramRestart.h"

#include "ZmTestMain.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QToolButton>

#include <memory>

namespace {

const char* const kKeys[] = {"AppInfo/OpenGL_Mode", "AppInfo/Surface_AlphaBufferSize", "AppInfo/VideoCaptureType"};

// A setting of a settings file as it is on disk; null when absent.
QVariant storedIn(const QString& path, const QString& key)
{
    QSettings settings(path, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    return settings.value(key);
}

void writeTo(const QString& path, const QString& key, const QVariant& value)
{
    QSettings settings(path, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    if (value.isValid())
        settings.setValue(key, value);
    else
        settings.remove(key);
}

// The launches the restart asked for.
struct Launches
{
    QList<QPair<QString, QStringList>> calls;
    bool succeed = true;
};

} // namespace

class TestSystemSettingDlg : public QObject
{
    Q_OBJECT

private:
    Launches m_launches;
    bool m_desktopIniExisted = false;

    static QComboBox* box(QDialog& dialog, const char* name) { return dialog.findChild<QComboBox*>(name); }

    static QStringList shown(QDialog& dialog)
    {
        return {box(dialog, "cBoxOpenGL")->currentText(), box(dialog, "cBoxSABS")->currentText(),
                box(dialog, "cBoxVCT")->currentText()};
    }

    // The confirmation the dialog's Submit opened; null when there is none.
    static CancelOkWarningDlg* confirmationOf(QDialog& dialog)
    {
        const auto confirmations = dialog.findChildren<CancelOkWarningDlg*>();
        for (CancelOkWarningDlg* confirmation : confirmations) {
            if (confirmation->isVisible())
                return confirmation;
        }
        return nullptr;
    }

    static void removeDesktopKeys()
    {
        for (const char* key : kKeys)
            writeTo(getDesktopIniPath(), key, QVariant());
    }

private slots:
    void initTestCase()
    {
        ConfigManager::instance();
        m_desktopIniExisted = QFile::exists(getDesktopIniPath());
        ProgramRestart::setLauncher([this](const QString& program, const QStringList& arguments) {
            m_launches.calls.append(qMakePair(program, arguments));
            return m_launches.succeed;
        });
    }

    void cleanupTestCase()
    {
        ProgramRestart::setLauncher({});
        if (m_desktopIniExisted)
            removeDesktopKeys();
        else
            QFile::remove(getDesktopIniPath());
    }

    void init()
    {
        for (const char* key : kKeys)
            ConfigManager::instance()->ini_RemoveParam(key);
        removeDesktopKeys();
        m_launches = Launches();
    }

    void cleanup()
    {
        // What a restart closed is shown again by the next test.
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget* window : windows)
            window->close();
    }

    void showsStoredValues_data()
    {
        QTest::addColumn<QVariantList>("desktop"); // OpenGL mode, alpha-buffer size, capture type; invalid: absent
        QTest::addColumn<QVariantList>("user");
        QTest::addColumn<QStringList>("expected");
        const QVariant none;
        QTest::newRow("nothing stored") << QVariantList{none, none, none} << QVariantList{none, none, none}
                                        << QStringList{"Mode 1 (desktop)", "-1", "0"};
        QTest::newRow("user values") << QVariantList{none, none, none} << QVariantList{17, 8, 3}
                                     << QStringList{"Mode 3 (software)", "8", "3"};
        QTest::newRow("angle") << QVariantList{none, none, none} << QVariantList{16, -1, 0}
                               << QStringList{"Mode 2 (angle)", "-1", "0"};
        QTest::newRow("values no item holds")
            << QVariantList{none, none, none} << QVariantList{99, 0, 5} << QStringList{"Mode 1 (desktop)", "-1", "0"};
        QTest::newRow("alpha-buffer size 16") << QVariantList{none, none, none} << QVariantList{none, 16, none}
                                              << QStringList{"Mode 1 (desktop)", "-1", "0"};
        QTest::newRow("not numbers") << QVariantList{none, none, none} << QVariantList{"abc", "8x", "three"}
                                     << QStringList{"Mode 1 (desktop)", "-1", "0"};
        QTest::newRow("program-folder values")
            << QVariantList{16, 8, 3} << QVariantList{none, none, none} << QStringList{"Mode 2 (angle)", "8", "3"};
        QTest::newRow("the user's values win")
            << QVariantList{16, 8, 3} << QVariantList{17, -1, 0} << QStringList{"Mode 3 (software)", "-1", "0"};
    }

    void showsStoredValues()
    {
        QFETCH(QVariantList, desktop);
        QFETCH(QVariantList, user);
        QFETCH(QStringList, expected);
        for (int i = 0; i < 3; ++i) {
            writeTo(getDesktopIniPath(), kKeys[i], desktop[i]);
            writeTo(ConfigManager::instance()->getIniPath(), kKeys[i], user[i]);
        }
        SystemSettingDlg dialog;
        QCOMPARE(shown(dialog), expected);
        QCOMPARE(box(dialog, "cBoxOpenGL")->count(), 3);
        QCOMPARE(box(dialog, "cBoxSABS")->count(), 2);
        QCOMPARE(box(dialog, "cBoxVCT")->count(), 2);
    }

    void okWritesAndRestarts_data()
    {
        QTest::addColumn<QVariantList>("desktop");
        QTest::addColumn<QVariantList>("user");
        QTest::addColumn<QList<int>>("chosen"); // items of OpenGL, alpha-buffer size, capture type; -1: as shown
        QTest::addColumn<QVariantList>("written");
        const QVariant none;
        QTest::newRow("software, 8, 3") << QVariantList{none, none, none} << QVariantList{none, none, none}
                                        << QList<int>{2, 1, 1} << QVariantList{17, 8, 3};
        QTest::newRow("desktop, -1, 0") << QVariantList{none, none, none} << QVariantList{16, 8, 3}
                                        << QList<int>{0, 0, 0} << QVariantList{15, none, 0};
        // Unchanged choices are written all the same; an alpha-buffer size shown as -1 loses its key.
        QTest::newRow("unchanged") << QVariantList{none, none, none} << QVariantList{none, 0, 7}
                                   << QList<int>{-1, -1, -1} << QVariantList{15, none, 0};
        QTest::newRow("program-folder values move to the user's")
            << QVariantList{16, 8, 3} << QVariantList{none, none, none} << QList<int>{-1, -1, -1}
            << QVariantList{16, 8, 3};
    }

    // The confirmation's OK writes the three choices to the user's settings (alpha-buffer size -1 as no key),
    // closes every window and starts the program again, without the lesson's options.
    void okWritesAndRestarts()
    {
        QFETCH(QVariantList, desktop);
        QFETCH(QVariantList, user);
        QFETCH(QList<int>, chosen);
        QFETCH(QVariantList, written);
        for (int i = 0; i < 3; ++i) {
            writeTo(getDesktopIniPath(), kKeys[i], desktop[i]);
            writeTo(ConfigManager::instance()->getIniPath(), kKeys[i], user[i]);
        }

        QWidget mainWindow;
        mainWindow.show();
        auto* dialog = new SystemSettingDlg(&mainWindow);
        int dialogResult = -1;
        dialog->setDoneCallback([&dialogResult](QObject*, int result) { dialogResult = result; }, dialog);
        dialog->show();
        const char* const boxes[] = {"cBoxOpenGL", "cBoxSABS", "cBoxVCT"};
        for (int i = 0; i < 3; ++i) {
            if (chosen[i] >= 0)
                box(*dialog, boxes[i])->setCurrentIndex(chosen[i]);
        }

        QTest::mouseClick(dialog->findChild<QPushButton*>("buttonOk"), Qt::LeftButton);
        CancelOkWarningDlg* confirmation = confirmationOf(*dialog);
        QVERIFY(confirmation);
        QVERIFY(dialog->isVisible()); // behind the confirmation
        QVERIFY(m_launches.calls.isEmpty());
        QTest::mouseClick(confirmation->findChild<QPushButton*>("okBtn"), Qt::LeftButton);

        const QString userIni = ConfigManager::instance()->getIniPath();
        for (int i = 0; i < 3; ++i)
            QCOMPARE(storedIn(userIni, kKeys[i]), written[i].isValid() ? QVariant(written[i].toString()) : QVariant());
        QCOMPARE(m_launches.calls.size(), 1);
        QCOMPARE(m_launches.calls[0].first, QCoreApplication::applicationFilePath());
        QCOMPARE(m_launches.calls[0].second, QStringList{ProgramRestart::kRestartedOption});
        QVERIFY(!mainWindow.isVisible());
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialogResult, 0);
    }

    void nothingWithoutOk_data()
    {
        QTest::addColumn<QString>("confirmationButton"); // empty: the settings dialog itself ends
        QTest::addColumn<QString>("dialogButton");
        QTest::newRow("confirmation's Cancel") << "cancelBtn" << QString();
        QTest::newRow("confirmation's close button") << "closeBtn" << QString();
        QTest::newRow("Cancel") << QString() << "buttonCancel";
        QTest::newRow("close button") << QString() << "btn_close";
    }

    // Cancel or close, of the confirmation or of the dialog, writes nothing and starts nothing; the confirmation's
    // leaves the dialog open, the dialog's end it with 0.
    void nothingWithoutOk()
    {
        QFETCH(QString, confirmationButton);
        QFETCH(QString, dialogButton);
        SystemSettingDlg dialog;
        int dialogResult = -1;
        dialog.setDoneCallback([&dialogResult](QObject*, int result) { dialogResult = result; }, &dialog);
        dialog.show();
        box(dialog, "cBoxOpenGL")->setCurrentIndex(2);

        if (!confirmationButton.isEmpty()) {
            QTest::mouseClick(dialog.findChild<QPushButton*>("buttonOk"), Qt::LeftButton);
            CancelOkWarningDlg* confirmation = confirmationOf(dialog);
            QVERIFY(confirmation);
            QTest::mouseClick(confirmation->findChild<QAbstractButton*>(confirmationButton), Qt::LeftButton);
            QVERIFY(!confirmation->isVisible());
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialogResult, -1);
        } else {
            QTest::mouseClick(dialog.findChild<QAbstractButton*>(dialogButton), Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialogResult, 0);
        }
        for (const char* key : kKeys)
            QVERIFY(storedIn(ConfigManager::instance()->getIniPath(), key).isNull());
        QVERIFY(m_launches.calls.isEmpty());
    }

    // Only a confirmation of a settings dialog saves: any other sender changes nothing.
    void saveAndRestartChecksItsSender()
    {
        SystemSettingDlg dialog;
        CancelOkWarningDlg stray;
        SystemSettingDlg::saveAndRestart(&stray, CancelOkWarningDlg::ResultOk);
        SystemSettingDlg::saveAndRestart(&dialog, CancelOkWarningDlg::ResultOk);
        SystemSettingDlg::saveAndRestart(nullptr, CancelOkWarningDlg::ResultOk);
        for (const char* key : kKeys)
            QVERIFY(storedIn(ConfigManager::instance()->getIniPath(), key).isNull());
        QVERIFY(m_launches.calls.isEmpty());
    }

    // When the new copy cannot start, the settings are written but nothing closes, and a notice says so.
    void restartFailureKeepsTheWindows()
    {
        m_launches.succeed = false;
        QWidget mainWindow;
        mainWindow.show();
        auto* dialog = new SystemSettingDlg(&mainWindow);
        dialog->show();
        box(*dialog, "cBoxVCT")->setCurrentIndex(1);
        QTest::mouseClick(dialog->findChild<QPushButton*>("buttonOk"), Qt::LeftButton);
        CancelOkWarningDlg* confirmation = confirmationOf(*dialog);
        QVERIFY(confirmation);
        QTest::mouseClick(confirmation->findChild<QPushButton*>("okBtn"), Qt::LeftButton);

        QCOMPARE(m_launches.calls.size(), 1);
        QCOMPARE(storedIn(ConfigManager::instance()->getIniPath(), "AppInfo/VideoCaptureType").toInt(), 3);
        QVERIFY(mainWindow.isVisible());
        QVERIFY(dialog->isVisible());
        CancelOkWarningDlg* notice = confirmationOf(*dialog);
        QVERIFY(notice);
        QVERIFY(notice != confirmation);
        QVERIFY(!notice->findChild<QPushButton*>("cancelBtn")->isVisible());
    }
};

ZM_TEST_MAIN(TestSystemSettingDlg)
#include "tst_systemsettingdlg.moc"
