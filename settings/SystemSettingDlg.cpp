#include "settings/SystemSettingDlg.h"

#include "app/ConfigManager.h"
#include "app/ProgramFiles.h"
#include "settings/SettingsResources.h"
#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/ProgramRestart.h"

#include "ui_SystemSettingDlg.h"

#include <QDebug>

namespace {

constexpr char kOpenGlModeKey[] = "AppInfo/OpenGL_Mode";
constexpr char kAlphaBufferSizeKey[] = "AppInfo/Surface_AlphaBufferSize";
constexpr char kVideoCaptureTypeKey[] = "AppInfo/VideoCaptureType";

// The item holding the stored value (the setting's default when the key is missing); the first item when no item
// holds it.
void selectStored(QComboBox* box, const char* key, int defaultValue)
{
    int value = defaultValue;
    readSettingWithDefault(QString::fromLatin1(key), value);
    box->setCurrentIndex(qMax(box->findData(value), 0));
}

// The value of the selected item; fallback when nothing is selected.
int selectedValue(const QComboBox* box, int fallback)
{
    const QVariant value = box->currentData();
    return value.isValid() ? value.toInt() : fallback;
}

} // namespace

SystemSettingDlg::SystemSettingDlg(QWidget* parent)
    : ModalDialog(parent)
    , ui(new Ui::SystemSettingDlg)
{
    SettingsResources::ensureLoaded();
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);

    ui->cBoxOpenGL->addItem(tr("Mode 1 (desktop)"), int(Qt::AA_UseDesktopOpenGL));
    ui->cBoxOpenGL->addItem(tr("Mode 2 (angle)"), int(Qt::AA_UseOpenGLES));
    ui->cBoxOpenGL->addItem(tr("Mode 3 (software)"), int(Qt::AA_UseSoftwareOpenGL));
    selectStored(ui->cBoxOpenGL, kOpenGlModeKey, Qt::AA_UseDesktopOpenGL);

    ui->cBoxVCT->addItem(tr("0"), 0);
    ui->cBoxVCT->addItem(tr("3"), 3);
    selectStored(ui->cBoxVCT, kVideoCaptureTypeKey, 0);

    ui->cBoxSABS->addItem(tr("-1"), -1);
    ui->cBoxSABS->addItem(tr("8"), 8);
    selectStored(ui->cBoxSABS, kAlphaBufferSizeKey, -1);
}

SystemSettingDlg::~SystemSettingDlg()
{
    delete ui;
}

void SystemSettingDlg::on_buttonCancel_clicked()
{
    close();
}

void SystemSettingDlg::on_btn_close_clicked()
{
    close();
}

void SystemSettingDlg::on_buttonOk_clicked()
{
    auto* confirmation = new CancelOkWarningDlg(this);
    confirmation->setMessageText(
        tr("Do you want to change the settings?\nChange the settings will restart the software."));
    confirmation->setDoneCallback(&SystemSettingDlg::saveAndRestart, confirmation);
    confirmation->show();
}

void SystemSettingDlg::saveAndRestart(QObject* confirmation, int result)
{
    auto* dialog = qobject_cast<CancelOkWarningDlg*>(confirmation);
    if (!dialog)
        return;
    dialog->deleteLater();
    auto* settings = qobject_cast<SystemSettingDlg*>(dialog->parent());
    if (!settings || result != CancelOkWarningDlg::ResultOk)
        return;
    settings->saveSettings();
    if (!ProgramRestart::restart())
        settings->showRestartFailure();
}

void SystemSettingDlg::saveSettings()
{
    ConfigManager* config = ConfigManager::instance();
    const int openGlMode = selectedValue(ui->cBoxOpenGL, Qt::AA_UseDesktopOpenGL);
    const int captureType = selectedValue(ui->cBoxVCT, 0);
    const int alphaBufferSize = selectedValue(ui->cBoxSABS, -1);
    qInfo() << "SystemSettingDlg::saveSettings OpenGL mode" << openGlMode << "video capture type" << captureType
            << "alpha-buffer size" << alphaBufferSize;
    config->ini_SetParam_Int(kOpenGlModeKey, openGlMode);
    config->ini_SetParam_Int(kVideoCaptureTypeKey, captureType);
    // Without the key start-up keeps the surface format's own size.
    if (alphaBufferSize == 8)
        config->ini_SetParam_Int(kAlphaBufferSizeKey, alphaBufferSize);
    else
        config->ini_RemoveParam(kAlphaBufferSizeKey);
}

void SystemSettingDlg::showRestartFailure()
{
    auto* notice = new CancelOkWarningDlg(this);
    notice->setCancelButtonVisible(false);
    notice->setMessageText(tr("The software could not restart.\nThe new settings take effect at its next start."));
    notice->setDoneCallback(
        [](QObject* context, int) {
            if (context)
                context->deleteLater();
        },
        notice);
    notice->show();
}
