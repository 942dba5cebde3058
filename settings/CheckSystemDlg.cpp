#include "settings/CheckSystemDlg.h"

#include "app/AppGlobalData.h"
#include "app/LogHandler.h"
#include "app/ProgramFiles.h"
#include "app/SystemInfo.h"
#include "settings/CheckSystemDlg_Ctrl.h"
#include "settings/ConfigeTipDlg.h"
#include "settings/SettingsResources.h"
#include "settings/SystemCheckVerdicts.h"
#include "ui/common/UiResources.h"

#include "ui_CheckSystemDlg.h"

#include <QDebug>
#include <QKeyEvent>
#include <QStringListModel>
#include <QTextBlockFormat>
#include <QTextCursor>

namespace {

const char kSuccessIcon[] = "QLabel{border-image:url(:/config/img/icon_normal.png);}";
const char kFailureIcon[] = "QLabel{border-image:url(:/config/img/icon_non_normal.png);}";
const char kStepHighlight[] = "QWidget#%1{background-color: #215f7e;}";

const char kIdList[] = "idList";

void highlightStep(QWidget* step)
{
    step->setStyleSheet(QString::fromLatin1(kStepHighlight).arg(step->objectName()));
}

} // namespace

CheckSystemDlg::CheckSystemDlg(QWidget* parent)
    : ConfigeDlg(parent)
    , m_cameraModel(new QStringListModel(this))
    , m_microphoneModel(new QStringListModel(this))
    , m_speakerModel(new QStringListModel(this))
    , ui(new Ui::CheckSystemDlg)
{
    UiResources::ensureLoaded();
    SettingsResources::ensureLoaded();
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::Dialog | Qt::Tool);

    ui->label_101->hide();
    ui->label_102->hide();
    ui->label_103->hide();
    ui->label_104->hide();
    // The level bar above its grey track, so that the level shows.
    ui->microphone_volume->raise();
    initTipsText();

    m_worker = new CheckSystemDlg_Ctrl;

    // The engine paints the camera picture into this native window, laid over the preview area while a preview
    // runs and hidden otherwise.
    m_renderWindow = new QDialog(this, Qt::WindowFlags());
    m_renderWindow->setObjectName(QStringLiteral("renderWindow"));
    m_renderWindow->setModal(false);
    m_renderWindow->setWindowFlags(Qt::FramelessWindowHint | Qt::Dialog | Qt::Tool);
    m_renderWindow->setAttribute(Qt::WA_NativeWindow);
    m_renderWindow->setGeometry(0, 0, 1, 1);
    m_worker->start(this, m_renderWindow->winId());

    ui->stacked_root->setCurrentWidget(ui->page_1);
    initVersionLine();

    ui->comboBox_camera->setModel(m_cameraModel);
    ui->comboBox_micphone->setModel(m_microphoneModel);
    ui->comboBox_speaker->setModel(m_speakerModel);
    connect(ui->closeBtn_2, SIGNAL(clicked()), this, SLOT(on_closeBtn_clicked()));
    connect(ui->closeBtn_3, SIGNAL(clicked()), this, SLOT(on_closeBtn_clicked()));
    connect(ui->comboBox_camera, SIGNAL(currentIndexChanged(int)), this, SLOT(slot_ui_page_camera_select_changed(int)));
    connect(ui->comboBox_micphone, SIGNAL(currentIndexChanged(int)), this,
            SLOT(slot_ui_page_microphone_select_changed(int)));
    connect(ui->comboBox_speaker, SIGNAL(currentIndexChanged(int)), this,
            SLOT(slot_ui_page_speaker_select_changed(int)));
    connect(ui->loudspeaker_volume, &QSlider::valueChanged, this, &CheckSystemDlg::slot_ui_page_speaker_volume_changed);
}

CheckSystemDlg::~CheckSystemDlg()
{
    stopSystemCheck();
    m_worker->shutdown();
    m_worker = nullptr;
    delete ui;
}

void CheckSystemDlg::initTipsText()
{
    const struct
    {
        QTextEdit* edit;
        QString text;
    } tips[] = {
        {ui->textEdit,
         tr("1. Using a wired internet connection is highly recommended than using wifi. \nWired internet connection "
            "is "
            "more stable than wifi.\n2. Switch to 4G network if wifi is being used at public spaces such as airports, "
            "train \nstations, and shopping malls.\n3. Turn off internet TV and download managers during the class.")},
        {ui->textEdit_2,
         tr("If you do not see the image, please try:\n1. Check if the camera is turned on.\n2. Make sure the camera "
            "is "
            "not in use by other app such as Zoom.\n3. If antivirus software warning pop-up appears, select "
            "\"allow\".\n4. Switch the camera to another USB input.\n5. Restart ZmQuillo application or restart your "
            "computer.")},
        {ui->textEdit_3,
         tr("If volume level indicator is not moving, please try:\n1. Check if the microphone is turned on.\n2. Make "
            "sure the microphone volume is turned to maximum.\n3. If antivirus software warning pop-up appears, select "
            "\"allow\".\n4. Switch the microphone to another USB input.\n5. Restart Zm Quillo application or restart "
            "your computer.")},
        {ui->textEdit_4,
         tr("If there is no sound, please try:\n1.  Check the headset/speaker is turned on and connected.\n2.  Make "
            "sure the headset/speaker volume is turned to maximum.\n3.  If antivirus software warning pop-up appears, "
            "select \"allow\".\n4.  Switch the headset/speaker to another USB input.\n5.  Restart Zm Quillo "
            "application or restart your computer.")},
        {ui->textEdit_5, tr("Please click \"submit feedback\", we will follow up with you regarding your feedback.")},
    };
    for (const auto& tip : tips) {
        tip.edit->setReadOnly(true);
        QTextCursor cursor = tip.edit->textCursor();
        QTextBlockFormat format = cursor.blockFormat();
        format.setLineHeight(24, QTextBlockFormat::FixedHeight);
        cursor.setBlockFormat(format);
        cursor.insertText(tip.text);
        cursor.movePosition(QTextCursor::Start);
        tip.edit->setTextCursor(cursor);
    }
}

void CheckSystemDlg::initVersionLine()
{
    ui->label_1l_d1_2->clear();
    const QString own = getExeFileVersion(3);
    QString text = QStringLiteral("PC v") + own + QLatin1Char(' ');
    switch (SystemCheck::compareVersions(AppGlobalData::instance()->launch.latestVersionName, own)) {
    case SystemCheck::VersionNote::Latest:
        text += tr("(The latest version)");
        break;
    case SystemCheck::VersionNote::Outdated:
        ui->label_1l_d1_2->setText(tr("(Find a new version)"));
        break;
    case SystemCheck::VersionNote::None:
        break;
    }
    ui->label_1l_d1_1->setText(text);
}

void CheckSystemDlg::setCloseButtonsVisible(bool visible)
{
    m_closeButtonsVisible = visible;
    ui->closeBtn->setVisible(visible);
    ui->closeBtn_2->setVisible(visible);
    ui->closeBtn_3->setVisible(visible);
}

void CheckSystemDlg::setResultIcon(QLabel* label, bool ok)
{
    label->setStyleSheet(QString::fromLatin1(ok ? kSuccessIcon : kFailureIcon));
}

void CheckSystemDlg::recordStep(bool& result, QLabel* icon, bool ok, int nextPage)
{
    result = ok;
    setResultIcon(icon, ok);
    setPage(nextPage);
}

// Pages

void CheckSystemDlg::setPage(int page)
{
    if (page == m_currentPage)
        return;
    for (QWidget* step : {ui->widget_9, ui->widget_10, ui->widget_11, ui->widget_12})
        step->setStyleSheet(QString());
    switch (page) {
    case 2:
        ui->stacked_root->setCurrentWidget(ui->page_2);
        highlightStep(ui->widget_9);
        ui->label_2l_d1->setText(getOsName());
        break;
    case 22:
        startSystemCheck();
        ui->stacked_root->setCurrentWidget(ui->page_2);
        ui->stacked_page_2->setCurrentWidget(ui->page_2_2);
        highlightStep(ui->widget_10);
        ui->stackedWidget->setCurrentWidget(ui->page);
        break;
    case 23:
        ui->stacked_root->setCurrentWidget(ui->page_2);
        ui->stacked_page_2->setCurrentWidget(ui->page_2_3);
        highlightStep(ui->widget_11);
        ui->stackedWidget_microphone->setCurrentWidget(ui->widget_get_devices);
        break;
    case 24:
        ui->stacked_root->setCurrentWidget(ui->page_2);
        ui->stacked_page_2->setCurrentWidget(ui->page_2_4);
        highlightStep(ui->widget_12);
        ui->stackedWidget_2->setCurrentWidget(ui->page_11);
        ui->page_2_4_btn_play_audio->setEnabled(false);
        break;
    case 21:
        ui->stacked_root->setCurrentWidget(ui->page_2);
        ui->stacked_page_2->setCurrentWidget(ui->page_2_1);
        highlightStep(ui->widget_9);
        ui->label_2l_d1->setText(getOsName());
        m_currentPage = 21;
        updateSystemCheckResult();
        break;
    case 25:
        check_result_lab_show();
        ui->stacked_root->setCurrentWidget(ui->page_8);
        break;
    default:
        break;
    }
    m_currentPage = page;
    logEmitSignal("sig_page_current_changed");
    emit sig_page_current_changed(page);
}

void CheckSystemDlg::on_page_1_btn_start_clicked()
{
    setPage(2);
    setPage(22);
}

void CheckSystemDlg::on_page_2_2_btn_next_clicked()
{
    recordStep(m_cameraOk, ui->test_list_lab_camera_check, true, 23);
}

void CheckSystemDlg::on_page_2_2_btn_no_video_clicked()
{
    recordStep(m_cameraOk, ui->test_list_lab_camera_check, false, 23);
}

void CheckSystemDlg::on_page_2_3_btn_next_clicked()
{
    recordStep(m_microphoneOk, ui->test_list_lab_microphone_check, true, 24);
}

void CheckSystemDlg::on_page_2_3_btn_sound_wave_clicked()
{
    recordStep(m_microphoneOk, ui->test_list_lab_microphone_check, false, 24);
}

void CheckSystemDlg::on_page_2_4_btn_next_clicked()
{
    recordStep(m_speakerOk, ui->test_list_lab_loudspeaker_check, true, 21);
}

void CheckSystemDlg::on_page_2_4_btn_voiceless_clicked()
{
    recordStep(m_speakerOk, ui->test_list_lab_loudspeaker_check, false, 21);
}

void CheckSystemDlg::on_page_2_1_btn_next_clicked()
{
    setResultIcon(ui->test_list_lab_system_check, m_systemOk);
    setPage(25);
}

void CheckSystemDlg::on_btn_finish_check_clicked()
{
    logEmitSignal("sig_finish_check_save_ini");
    emit sig_finish_check_save_ini();
    submitCheckReport();
    done(1);
}

void CheckSystemDlg::on_btn_again_check_device_clicked()
{
    // The report of the check just done goes first: cleared, it would say that everything failed.
    submitCheckReport();
    m_systemOk = false;
    m_cameraOk = false;
    m_microphoneOk = false;
    m_speakerOk = false;
    for (QLabel* icon : {ui->test_list_lab_system_check, ui->test_list_lab_camera_check,
                         ui->test_list_lab_microphone_check, ui->test_list_lab_loudspeaker_check})
        icon->setStyleSheet(QString());
    setPage(22);
}

void CheckSystemDlg::check_result_lab_show()
{
    const struct
    {
        bool ok;
        QLabel* icon;
        QLabel* note;
    } results[] = {
        {m_systemOk, ui->lab_system_check_finish, ui->label_101},
        {m_cameraOk, ui->lab_camera_check_finish, ui->label_102},
        {m_microphoneOk, ui->lab_micphone_check_finish, ui->label_103},
        {m_speakerOk, ui->lab_loudspeaker_check_finish, ui->label_104},
    };
    bool allOk = true;
    for (const auto& result : results) {
        setResultIcon(result.icon, result.ok);
        result.note->setVisible(!result.ok);
        allOk = allOk && result.ok;
    }
    if (allOk) {
        ui->stackedWidget_3->setCurrentWidget(ui->page_9);
        return;
    }
    ui->btn_submit_feekback->show();
    ui->btn_again_check_device->setGeometry(467, 70, 204, 55);
    ui->stackedWidget_3->setCurrentWidget(ui->page_10);
}

// Speaker test sound

void CheckSystemDlg::stopTestSound()
{
    ui->page_2_4_btn_play_audio->setText(tr("Play audio"));
    m_playingAudio = false;
}

void CheckSystemDlg::on_page_2_4_btn_play_audio_clicked()
{
    if (m_playingAudio) {
        stopTestSound();
    } else {
        ui->page_2_4_btn_play_audio->setText(tr("Stop play"));
        m_playingAudio = true;
    }
    logEmitSignal("sig_page_speaker_play_audio");
    emit sig_page_speaker_play_audio(m_playingAudio);
}

void CheckSystemDlg::slot_speaker_preview_ended(QString deviceID)
{
    Q_UNUSED(deviceID)
    stopTestSound();
}

// Lists again

void CheckSystemDlg::on_btn_again_get_camera_clicked()
{
    qDebug() << "on_btn_again_get_camera_clicked";
    logEmitSignal("sig_page_camera_syncDeviceList");
    emit sig_page_camera_syncDeviceList();
    ui->stackedWidget->setCurrentWidget(ui->page);
}

void CheckSystemDlg::on_btn_again_get_microphone_clicked()
{
    logEmitSignal("sig_page_microphone_syncDeviceList");
    emit sig_page_microphone_syncDeviceList();
    ui->stackedWidget_microphone->setCurrentWidget(ui->widget_get_devices);
}

void CheckSystemDlg::on_btn_again_get_loudspeaker_clicked()
{
    qDebug() << "on_btn_again_get_loudspeaker_clicked";
    logEmitSignal("sig_page_speaker_syncDeviceList");
    emit sig_page_speaker_syncDeviceList();
    ui->stackedWidget_2->setCurrentWidget(ui->page_11);
    ui->page_2_4_btn_play_audio->setEnabled(false);
}

// Device lists from the worker

bool CheckSystemDlg::idAt(QStringListModel* model, int index, QString& id)
{
    const QStringList ids = model->property(kIdList).toStringList();
    if (index < 0 || index >= ids.size())
        return false;
    id = ids.at(index);
    return true;
}

bool CheckSystemDlg::showDevices(QComboBox* combo, QStringListModel* model, const vector_device_info& devices,
                                 const QString& currentId)
{
    if (devices.empty() || currentId.isEmpty())
        return false;
    QStringList names;
    QStringList ids;
    int selected = -1;
    for (const device_info& device : devices) {
        if (device.id == currentId)
            selected = ids.size();
        names << device.name;
        ids << device.id;
    }
    // The ids first: the combo box reports its new index while the names go in.
    model->setProperty(kIdList, ids);
    model->setStringList(names);
    combo->setCurrentIndex(selected);
    return true;
}

void CheckSystemDlg::slot_async_start_result(int nInitResult)
{
    Q_UNUSED(nInitResult)
}

void CheckSystemDlg::slot_camera_devices_changed(vector_device_info devices, QString curDeviceID)
{
    if (devices.empty() || curDeviceID.isEmpty()) {
        ui->stackedWidget->setCurrentWidget(ui->page_3);
        return;
    }
    ui->stackedWidget->setCurrentWidget(ui->page_4);
    showDevices(ui->comboBox_camera, m_cameraModel, devices, curDeviceID);
}

void CheckSystemDlg::slot_microphone_devices_changed(vector_device_info devices, QString curDeviceID)
{
    if (devices.empty() || curDeviceID.isEmpty()) {
        ui->stackedWidget_microphone->setCurrentWidget(ui->widget_mic_again_check);
        ui->lab_microphone_show_hint_info->hide();
        return;
    }
    ui->stackedWidget_microphone->setCurrentWidget(ui->widget_mic_comboBox);
    ui->lab_microphone_show_hint_info->show();
    showDevices(ui->comboBox_micphone, m_microphoneModel, devices, curDeviceID);
}

void CheckSystemDlg::slot_speaker_devices_changed(vector_device_info devices, QString curDeviceID)
{
    if (devices.empty() || curDeviceID.isEmpty()) {
        ui->stackedWidget_2->setCurrentWidget(ui->page_12);
        ui->page_2_4_btn_play_audio->setEnabled(false);
        return;
    }
    ui->stackedWidget_2->setCurrentWidget(ui->page_13);
    ui->page_2_4_btn_play_audio->setEnabled(true);
    showDevices(ui->comboBox_speaker, m_speakerModel, devices, curDeviceID);
    logEmitSignal("sig_page_speaker_volume_changed");
    emit sig_page_speaker_volume_changed(ui->loudspeaker_volume->value());
}

// Selections

void CheckSystemDlg::slot_ui_page_camera_select_changed(int index)
{
    QString id;
    if (!idAt(m_cameraModel, index, id))
        return;
    logEmitSignal("sig_page_camera_select_changed");
    emit sig_page_camera_select_changed(id);
}

void CheckSystemDlg::slot_ui_page_microphone_select_changed(int index)
{
    QString id;
    if (!idAt(m_microphoneModel, index, id))
        return;
    logEmitSignal("sig_page_microphone_select_changed");
    emit sig_page_microphone_select_changed(id);
}

void CheckSystemDlg::slot_ui_page_speaker_select_changed(int index)
{
    stopTestSound();
    logEmitSignal("sig_page_speaker_play_audio");
    emit sig_page_speaker_play_audio(false);
    QString id;
    if (!idAt(m_speakerModel, index, id))
        return;
    logEmitSignal("sig_page_speaker_select_changed");
    emit sig_page_speaker_select_changed(id);
}

void CheckSystemDlg::slot_ui_page_speaker_volume_changed(int nValue)
{
    logEmitSignal("sig_page_speaker_volume_changed");
    emit sig_page_speaker_volume_changed(nValue);
}

void CheckSystemDlg::slot_micphone_volume_indication(QString deviceID, int volume)
{
    QString selected;
    if (idAt(m_microphoneModel, ui->comboBox_micphone->currentIndex(), selected) && selected == deviceID)
        ui->microphone_volume->setValue(volume);
}

// Camera preview

void CheckSystemDlg::slot_camera_preview_began(QString deviceID)
{
    Q_UNUSED(deviceID)
    // Only over the camera page: a report that arrives after the page was left shows nothing.
    if (m_currentPage == 22 && isVisible()) {
        QRect area = ui->stacked_preview->geometry();
        area.moveTopLeft(ui->stacked_preview->mapToGlobal(QPoint(0, 0)));
        m_renderWindow->setGeometry(area);
        m_renderWindow->show();
    }
    ui->stacked_preview->setCurrentWidget(ui->widget_camera_preview);
    ui->stackedWidget->setCurrentWidget(ui->page_4);
}

void CheckSystemDlg::slot_camera_preview_ended(QString deviceID)
{
    Q_UNUSED(deviceID)
    // A native window cannot shrink to nothing: it hides instead.
    m_renderWindow->hide();
}

// Closing

void CheckSystemDlg::on_closeBtn_clicked()
{
    if (m_currentPage == 25) {
        done(0);
        return;
    }
    m_renderWindow->hide(); // the engine's picture would cover the question
    createTip(true)->show();
}

ConfigeTipDlg* CheckSystemDlg::createTip(bool continuePage)
{
    auto* tip = new ConfigeTipDlg(parentWidget());
    connect(tip, &ConfigeTipDlg::sig_end_device_test, this, &CheckSystemDlg::slot_end_device_test);
    if (continuePage) {
        tip->showContinuePage();
        connect(tip, &ConfigeTipDlg::sig_continue_device_test, this, &CheckSystemDlg::slot_continue_device_test);
    } else {
        tip->showFeedbackFailedPage();
    }
    tip->setDoneCallback(
        [](QObject* context, int) {
            if (context)
                context->deleteLater();
        },
        tip);
    return tip;
}

void CheckSystemDlg::slot_end_device_test()
{
    done(0);
}

void CheckSystemDlg::slot_continue_device_test()
{
    if (m_currentPage != 22)
        return;
    logEmitSignal("sig_reboot_camera_devices");
    emit sig_reboot_camera_devices();
}

void CheckSystemDlg::keyPressEvent(QKeyEvent* event)
{
    // Escape asks like the close buttons do, and only when they are there.
    if (event->key() == Qt::Key_Escape) {
        if (m_closeButtonsVisible)
            on_closeBtn_clicked();
        event->accept();
        return;
    }
    ConfigeDlg::keyPressEvent(event);
}

void CheckSystemDlg::closeEvent(QCloseEvent* event)
{
    // A close asked for by the window system asks like the close buttons; the program's own closes go through.
    if (event->spontaneous()) {
        event->ignore();
        if (m_closeButtonsVisible)
            on_closeBtn_clicked();
        return;
    }
    ConfigeDlg::closeEvent(event);
}

void CheckSystemDlg::hideEvent(QHideEvent* event)
{
    if (m_renderWindow)
        m_renderWindow->hide();
    ConfigeDlg::hideEvent(event);
}
