#include "settings/ConfigeDlg_Imp.h"

#include "app/ConfigManager.h"
#include "app/records/InitTaskParams.h"
#include "live/rtc/AgoraChannel.h"
#include "live/rtc/engine/IRtcEngine.h"
#include "settings/AsyncIsReady.h"
#include "settings/SettingsResources.h"

#include "ui_ConfigeDlg_Imp.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMouseEvent>
#include <QStringListModel>

namespace {

// Each device kind is asked this many times, this many seconds apart, before its list stays empty.
constexpr int kReadyTries = 3;
constexpr int kReadyPauseSeconds = 1;

// Separates the devices listed in the log.
constexpr char kDashes[] = "------------------------------------";

// The saved id of key; empty when there is none or the settings cannot be read.
QByteArray savedDeviceId(const char* key)
{
    QByteArray id;
    if (!ConfigManager::instance()->ini_GetParam_String(key, id))
        id.clear();
    return id;
}

} // namespace

ConfigeDlg_Imp::ConfigeDlg_Imp(QWidget* parent)
    : ConfigeDlg(parent)
    , ui(new Ui::ConfigeDlg_Imp)
    , m_cameraModel(new QStringListModel(this))
    , m_microphoneModel(new QStringListModel(this))
    , m_speakerModel(new QStringListModel(this))
{
    SettingsResources::ensureLoaded();
    setModal(true);
}

ConfigeDlg_Imp::~ConfigeDlg_Imp()
{
    releaseDevices();
    delete ui;
}

ConfigeDlg_Imp* ConfigeDlg_Imp::create(agora::rtc::IRtcEngine* engine, bool hideCancel, QWidget* parent)
{
    auto* dialog = new ConfigeDlg_Imp(parent);
    dialog->init(engine, hideCancel);
    return dialog;
}

void ConfigeDlg_Imp::init(agora::rtc::IRtcEngine* engine, bool hideCancel)
{
    if (engine) {
        m_engine = engine;
    } else {
        m_ownChannel = new AgoraChannel;
        m_ownChannel->initialize();
        m_engine = m_ownChannel->engine();
    }

    if (m_engine) {
        // The device managers are taken with audio on.
        m_engine->enableAudio();
        m_videoDevice.Close();
        if (m_videoDevice.Create(m_engine) != 0)
            qWarning() << "mVideoManager.Create Failed!";
        m_audioDevice.Close();
        if (m_audioDevice.Create(m_engine) != 0)
            qWarning() << "mAudioManager.Create Failed!";
    }

    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::Dialog | Qt::Tool);
    if (hideCancel)
        ui->buttonCancel->hide();
    postConfigerStatus(CFG_Start);
}

int ConfigeDlg_Imp::indexOfDeviceID(const QString& id, const std::vector<device_info>& devices)
{
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (devices[i].id == id)
            return int(i);
    }
    return -1;
}

void ConfigeDlg_Imp::postConfigerStatus(int status)
{
    QCoreApplication::postEvent(this, new ConfigerStatusEvent(status), Qt::NormalEventPriority);
}

bool ConfigeDlg_Imp::event(QEvent* event)
{
    if (event->type() == ConfigerStatusEvent::kType)
        onConfigerStatus(static_cast<ConfigerStatusEvent*>(event)->status());
    return ConfigeDlg::event(event);
}

void ConfigeDlg_Imp::onConfigerStatus(int status)
{
    // Once the dialog has ended its devices are gone: checks still queued have nothing to ask.
    if (!m_engine)
        return;

    switch (status) {
    case CFG_Start:
        checkKind([this] { return m_videoDevice.GetCollection(); }, [this] { fillCameras(); },
                  CFG_CameraValidate_Succed, CFG_CameraValidate_Failed);
        break;
    case CFG_CameraValidate_Succed:
    case CFG_CameraValidate_Failed:
        qDebug() << (status == CFG_CameraValidate_Succed ? "ConfigerStatus::CFG_CameraValidate_Succed:"
                                                         : "ConfigerStatus::CFG_CameraValidate_Failed:");
        showList(m_cameraList, *m_cameraModel, ui->cBoxCamera);
        checkKind([this] { return m_audioDevice.GetRecordingCollection(); }, [this] { fillMicrophones(); },
                  CFG_AudioInValidate_Succed, CFG_AudioInValidate_Failed);
        break;
    case CFG_AudioInValidate_Succed:
    case CFG_AudioInValidate_Failed:
        qDebug() << (status == CFG_AudioInValidate_Succed ? "ConfigerStatus::CFG_AudioInValidate_Succed:"
                                                          : "ConfigerStatus::CFG_AudioInValidate_Failed:");
        showList(m_microphoneList, *m_microphoneModel, ui->cboxMicrophone);
        checkKind([this] { return m_audioDevice.GetPlaybackCollection(); }, [this] { fillSpeakers(); },
                  CFG_AudioOutValidate_Succed, CFG_AudioOutValidate_Failed);
        break;
    case CFG_AudioOutValidate_Succed:
    case CFG_AudioOutValidate_Failed:
        qDebug() << (status == CFG_AudioOutValidate_Succed ? "ConfigerStatus::CFG_AudioOutValidate_Succed:"
                                                           : "ConfigerStatus::CFG_AudioOutValidate_Failed:");
        showList(m_speakerList, *m_speakerModel, ui->cBoxSpeaker);
        restoreSavedChoices();
        break;
    default:
        break;
    }
}

void ConfigeDlg_Imp::checkKind(std::function<int()> count, std::function<void()> fill, int succeeded, int failed)
{
    asyncIsReady(count, kReadyTries, kReadyPauseSeconds, [this, fill, succeeded, failed](bool ready) {
        if (ready)
            fill();
        postConfigerStatus(ready ? succeeded : failed);
    });
}

int ConfigeDlg_Imp::fillList(const char* countLabel, int count, const std::vector<device_info>& devices,
                             DeviceList& list)
{
    qDebug() << countLabel << count;
    qDebug().noquote() << kDashes;
    for (const device_info& device : devices) {
        qDebug().noquote() << device.name;
        qDebug().noquote() << device.id;
        qDebug().noquote() << kDashes;
        list.append(qMakePair(device.name, device.id));
    }
    return count;
}

int ConfigeDlg_Imp::fillCameras()
{
    std::vector<device_info> devices;
    const int count = m_videoDevice.GetCollection();
    m_videoDevice.GetDevices(devices);
    return fillList("Video.GetDeviceCount:", count, devices, m_cameraList);
}

int ConfigeDlg_Imp::fillMicrophones()
{
    std::vector<device_info> devices;
    const int count = m_audioDevice.GetRecordingCollection();
    m_audioDevice.GetRecordingDevices(devices);
    return fillList("AudioIn.GetDeviceCount:", count, devices, m_microphoneList);
}

int ConfigeDlg_Imp::fillSpeakers()
{
    std::vector<device_info> devices;
    const int count = m_audioDevice.GetPlaybackCollection();
    m_audioDevice.GetPlaybackDevices(devices);
    return fillList("AudioOut.GetDeviceCount:", count, devices, m_speakerList);
}

void ConfigeDlg_Imp::showList(const DeviceList& list, QStringListModel& model, QComboBox* box)
{
    QStringList names;
    for (const auto& device : list)
        names.append(device.first);
    model.setStringList(names);
    box->setModel(&model);
}

void ConfigeDlg_Imp::restoreSavedChoices()
{
    const struct
    {
        const char* key;
        const DeviceList& list;
        QComboBox* box;
    } kinds[] = {{kSelectedCameraKey, m_cameraList, ui->cBoxCamera},
                 {kSelectedMicrophoneKey, m_microphoneList, ui->cboxMicrophone},
                 {kSelectedSpeakerKey, m_speakerList, ui->cBoxSpeaker}};
    for (const auto& kind : kinds) {
        const QString saved = QString::fromUtf8(savedDeviceId(kind.key));
        for (int i = 0; i < kind.list.size(); ++i) {
            if (kind.list.at(i).second == saved) {
                kind.box->setCurrentIndex(i);
                break;
            }
        }
    }
}

void ConfigeDlg_Imp::on_btn_close_clicked()
{
    done(0);
}

void ConfigeDlg_Imp::on_buttonCancel_clicked()
{
    done(0);
}

void ConfigeDlg_Imp::on_buttonOk_clicked()
{
    const int camera = ui->cBoxCamera->currentIndex();
    const int microphone = ui->cboxMicrophone->currentIndex();
    const int speaker = ui->cBoxSpeaker->currentIndex();
    qDebug() << "curCameraIndex" << camera << "curMicrophoneIndex" << microphone << "curSpeakerIndex" << speaker;

    submitKind(kSelectedCameraKey, m_cameraList, camera, &AgoraVideoDevice::IsNotRecommendWithDeviceName,
               "AgoraVideoDevice::IsNotRecommendWithDeviceName", NotRecommend_Camera);
    submitKind(kSelectedMicrophoneKey, m_microphoneList, microphone,
               &AgoraAudioDevice::IsNotRecommendAudioInWithDeviceName,
               "AgoraAudioDevice::IsNotRecommendAudioInWithDeviceName", NotRecommend_Microphone);
    submitKind(kSelectedSpeakerKey, m_speakerList, speaker, &AgoraAudioDevice::IsNotRecommendAudioOutWithDeviceName,
               "AgoraAudioDevice::IsNotRecommendAudioOutWithDeviceName", NotRecommend_Speaker);

    qDebug() << "m_notRecommendDeviceTypes:" << m_notRecommendDeviceTypes;
    done(1);
}

void ConfigeDlg_Imp::submitKind(const char* key, const DeviceList& list, int index, bool (*check)(const QString&),
                                const char* checkName, int flag)
{
    if (index < 0 || index >= list.size())
        return;
    const QString& name = list.at(index).first;
    qDebug().noquote() << key << "chosen:" << name;
    if (check(name)) {
        qDebug() << checkName;
        m_notRecommendDeviceTypes |= flag;
    }
    const QByteArray chosen = list.at(index).second.toUtf8();
    if (savedDeviceId(key) == chosen)
        return;
    ConfigManager::instance()->ini_SetParam_String(key, chosen);
    m_changedDevices[key] = chosen.toStdString();
}

void ConfigeDlg_Imp::done(int result)
{
    releaseDevices();
    ConfigeDlg::done(result);
}

void ConfigeDlg_Imp::releaseDevices()
{
    m_audioDevice.Close();
    m_videoDevice.Close();
    m_engine = nullptr;
    if (m_ownChannel) {
        m_ownChannel->uninitialize();
        delete m_ownChannel;
        m_ownChannel = nullptr;
    }
}

void ConfigeDlg_Imp::mousePressEvent(QMouseEvent* event)
{
    const QRect bar(ui->widget_bar->mapToGlobal(QPoint(0, 0)), ui->widget_bar->size());
    m_dragOffset = bar.contains(event->globalPos()) ? event->globalPos() - pos() : QPoint();
    ConfigeDlg::mousePressEvent(event);
}

void ConfigeDlg_Imp::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragOffset.isNull())
        move(event->globalPos() - m_dragOffset);
    ConfigeDlg::mouseMoveEvent(event);
}

void ConfigeDlg_Imp::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragOffset = QPoint();
    ConfigeDlg::mouseReleaseEvent(event);
}
