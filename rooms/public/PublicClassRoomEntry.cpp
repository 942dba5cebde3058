// The public class room's entry machine: the driver, one pass, the step bodies, the class message connection's
// result and the failure handler.
#include "rooms/public/PublicClassRoom.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/LogHandler.h"
#include "live/entry/EntryAddresses.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/messages/PublicMsgInterface.h"
#include "live/messages/StudentMsgInterface.h"
#include "live/messages/TeacherMsgInterface.h"
#include "live/rtc/AgoraAudioDevice.h"
#include "live/rtc/AgoraChannel.h"
#include "live/rtc/AgoraVideoDevice.h"
#include "live/rtc/DeviceInfo.h"
#include "net/api/ZmNetAPI.h"
#include "net/http/SecretMask.h"
#include "rooms/blocks/RaiseHandCtrl.h"
#include "rooms/blocks/RaiseHandWidget.h"
#include "rooms/blocks/UserListCtrl.h"
#include "rooms/blocks/VideoDisplayWidget.h"
#include "rooms/public/PublicEntryPlan.h"
#include "rooms/public/PublicRoomForm.h"
#include "rooms/widgets/CoursewareViewer.h"
#include "ui/common/ErrorDlg.h"
#include "ui/common/TryWarningDlg.h"
#include "web/whiteboard/Whiteboard.h"

#include <QDebug>

#include <functional>

namespace {

constexpr int kWaitingLimitMs = 30000;
constexpr int kRetryDelayMs = 1000;
constexpr int kRetryOffers = 3;

// The stored id of key (UTF-8), empty when none is stored.
std::string storedDeviceId(const char* key)
{
    QByteArray id;
    ConfigManager::instance()->ini_GetParam_String(key, id);
    return id.toStdString();
}

void storeDeviceId(const char* key, const QString& id)
{
    ConfigManager::instance()->ini_SetParam_String(key, id.toUtf8());
}

// A device step found its kind: the class service hears that it works (deviceType 1 camera, 2 microphone,
// 3 speaker), and the stored choice of key, when there is one, is selected.
void useWorkingDevice(int deviceType, const char* key, const std::function<void(const std::string&)>& select)
{
    ZmNetAPI::instance()->AddUserDevcieInfo(deviceType, 0, QString());
    const std::string id = storedDeviceId(key);
    if (!id.empty())
        select(id);
}

} // namespace

void PublicClassRoom::onStartCheckTimeout()
{
    m_checkTimer.stop();
    if (m_runnerParams) {
        // The device re-check runs its own event loop; the pass follows once it has ended.
        m_entryPassDeferred = true;
        return;
    }
    if (m_exiting)
        return;
    runEntryPass();
}

void PublicClassRoom::runEntryPass()
{
    const bool ok = enterClass();
    m_waitingDlg.stopWaiting();
    // A pass that waits for the class message connection ends well; its result comes later.
    handleEntryResult(ok);
}

bool PublicClassRoom::enterClass()
{
    for (const unsigned int step : PublicEntryPlan::pendingSteps(m_pendingSteps)) {
        m_currentStep = step;
        const PublicEntryPlan::StepTexts texts = PublicEntryPlan::textsFor(step);
        if (texts.hasTexts) {
            m_waitingText = texts.waiting;
            m_failureTitle = texts.failureTitle;
            m_failureDetail = texts.failureDetail;
            m_waitingDlg.startWaiting(m_waitingText, true, kWaitingLimitMs);
        }
        qInfo() << "PublicClassRoom::enterClass step" << step;
        switch (runStep(step)) {
        case StepOutcome::Failed:
            ++m_failureCount;
            qWarning() << "PublicClassRoom::enterClass step" << step << "failed; failures in a row:" << m_failureCount
                       << "service result" << m_serviceResult;
            return false;
        case StepOutcome::AwaitingMessages:
            qInfo() << "PublicClassRoom::enterClass waits for the class message connection";
            return true;
        case StepOutcome::Done:
            m_failureCount = 0;
            m_pendingSteps &= ~step;
            break;
        }
    }
    if (!m_entered) {
        m_entered = true;
        qInfo() << "PublicClassRoom::enterClass the room has entered the class";
        const AppGlobalData* data = AppGlobalData::instance();
        if (!data->isTeacher() && data->screenShareOn)
            showDesktopShareStarted();
    }
    return true;
}

PublicClassRoom::StepOutcome PublicClassRoom::runStep(unsigned int step)
{
    const auto outcome = [](bool done) { return done ? StepOutcome::Done : StepOutcome::Failed; };
    switch (step) {
    case Agora_InitChannel:
        return outcome(stepInitEngine());
    case Agora_CheckCamera:
        return outcome(stepCamera());
    case Agora_CheckMicphone:
        return outcome(stepMicrophone());
    case Agora_CheckSpeaker:
        return outcome(stepSpeaker());
    case API_LoadClassInfo:
        return outcome(stepClassInfo());
    case WebSocket_Link:
        return stepMessageEngine();
    case API_EnterClass:
        return outcome(stepEnterClass());
    case WebEngine_LoadWhiteboard:
        return outcome(stepWhiteboard());
    case Agora_JoinChannel:
        return outcome(stepJoinChannel());
    case NormalClass_InitUI:
        stepRoomInterface();
        return StepOutcome::Done;
    default:
        return StepOutcome::Done;
    }
}

bool PublicClassRoom::stepInitEngine()
{
    if (m_channel->initialize() < 0)
        return false;
    m_channel->setLogFile(ConfigManager::instance()->getAgoraLogPath().toUtf8().constData());
    m_channel->setChannelMode(1);
    m_channel->enableAudioVolumeIndication();
    return true;
}

bool PublicClassRoom::stepCamera()
{
    delete m_videoDevice;
    m_videoDevice = new AgoraVideoDevice;
    AgoraVideoDevice* cameras = m_videoDevice;
    if (cameras->Create(m_channel->engine()) < 0 || cameras->GetDeviceCount() <= 0)
        return false;
    useWorkingDevice(1, kSelectedCameraKey, [cameras](const std::string& id) { cameras->SetCurDevice(id); });
    return true;
}

bool PublicClassRoom::stepMicrophone()
{
    AgoraAudioDevice* audio = replaceAudioDevice();
    if (audio->GetRecordingDeviceCount() <= 0)
        return false;
    useWorkingDevice(2, kSelectedMicrophoneKey, [audio](const std::string& id) { audio->SetCurRecordingDevice(id); });
    return true;
}

bool PublicClassRoom::stepSpeaker()
{
    AgoraAudioDevice* audio = replaceAudioDevice();
    if (audio->GetPlaybackDeviceCount() <= 0)
        return false;
    useWorkingDevice(3, kSelectedSpeakerKey, [audio](const std::string& id) { audio->SetCurPlaybackDevice(id); });
    return true;
}

AgoraAudioDevice* PublicClassRoom::replaceAudioDevice()
{
    delete m_audioDevice;
    m_audioDevice = new AgoraAudioDevice;
    m_audioDevice->Create(m_channel->engine());
    return m_audioDevice;
}

bool PublicClassRoom::stepClassInfo()
{
    const AppGlobalData* data = AppGlobalData::instance();
    int result =
        ZmNetAPI::instance()->GetSmallClassInfo(data->lesson.periodId, data->launch.userId, data->launch.token);
    if (result == 0)
        result = ZmNetAPI::instance()->getClassStudentsPoint();
    m_serviceResult = result;
    return result == 0;
}

PublicClassRoom::StepOutcome PublicClassRoom::stepMessageEngine()
{
    if (ClassMsgEngine::instance()) {
        takeClassMessages();
        return StepOutcome::Done;
    }
    if (!ClassMsgEngine::createInstance(this, SLOT(onSigMsgEngineConnectResult(int)))) {
        // No connection result would ever come: the step fails now, with the retry offer.
        qWarning() << "PublicClassRoom::stepMessageEngine the class message engine could not start";
        m_serviceResult = -1;
        return StepOutcome::Failed;
    }
    return StepOutcome::AwaitingMessages;
}

bool PublicClassRoom::stepEnterClass()
{
    m_serviceResult = ZmNetAPI::instance()->EnterClassRoom();
    if (m_serviceResult != 0)
        return false;
    whiteboard()->setLessonTitle(AppGlobalData::instance()->lesson.lessonName);
    return true;
}

bool PublicClassRoom::stepWhiteboard()
{
    makeWhiteboardUrl();
    return true;
}

bool PublicClassRoom::stepJoinChannel()
{
    AppGlobalData* data = AppGlobalData::instance();
    const unsigned int ownId = static_cast<unsigned int>(data->userIdAsInt());
    if (m_channel->joinChannel(data->lesson.channel.toUtf8().constData(), data->lesson.channelKey.toUtf8().constData(),
                               ownId) != 0)
        return false;
    VideoDisplayWidget* tile = m_form->teacher_video;
    if (data->isTeacher()) {
        m_channel->setPublishRole(true);
        m_channel->set_local_preview(tile->videoWinId(), ownId);
    } else {
        m_channel->setPublishRole(false);
        m_channel->enableLocalVideo(false);
        m_channel->setupRemoteVideo(tile->videoWinId(), static_cast<unsigned int>(data->teacherIdAsInt()), 1);
    }
    m_channel->startPreview();
    tile->setUserName(data->teacherInfo()->displayName());
    tile->setUserNameVisible(true);
    return true;
}

void PublicClassRoom::stepRoomInterface()
{
    m_pendingSteps &= ~static_cast<unsigned int>(NormalClass_InitUI);
    AppGlobalData* data = AppGlobalData::instance();
    if (data->isStudent()) {
        m_raiseHandCtrl = new RaiseHandCtrl;
        m_raiseHandCtrl->connectClassMessages(m_form->raiseHandWidget);
        connect(m_raiseHandCtrl, &RaiseHandCtrl::sigSetMicphoneEnable, this, &PublicClassRoom::onSetStudentMicEnable);
    }
    m_userListCtrl = new UserListCtrl;
    m_userListCtrl->init(m_form->userListWidget, m_form->courseware);

    if (data->isTeacher()) {
        if (TeacherMsgInterface* teacher = ClassMsgEngine::getTeacherMsgInterface())
            teacher->sendEnterClass();
    } else if (StudentMsgInterface* student = ClassMsgEngine::getStudentMsgInterface()) {
        student->sendEnterClass();
    }

    if (data->isStudent()) {
        m_form->raiseHandWidget->show();
        if (!data->lesson.muteAudio) {
            // The student's microphone opens as if the teacher had opened it.
            if (StudentMsgInterface* student = ClassMsgEngine::getStudentMsgInterface()) {
                logEmitSignal("sigReceiveMsgTeacherOpenStudentMicrophone");
                emit student->sigReceiveMsgTeacherOpenStudentMicrophone(0, data->userIdAsInt());
            }
        }
    }
    layoutRoom(size());

    if (m_audioDevice) {
        storeDeviceId(kSelectedMicrophoneKey, m_audioDevice->GetCurRecordingDeviceID());
        storeDeviceId(kSelectedSpeakerKey, m_audioDevice->GetCurPlaybackDeviceID());
    }
    if (m_videoDevice)
        storeDeviceId(kSelectedCameraKey, m_videoDevice->GetCurDeviceID());
}

void PublicClassRoom::onSigMsgEngineConnectResult(int result)
{
    qInfo() << "PublicClassRoom::onSigMsgEngineConnectResult" << result;
    m_checkTimer.stop();
    if (ClassMsgEngine* engine = ClassMsgEngine::instance())
        disconnect(engine, SIGNAL(sigMsgEngineInitResult(int)), this, SLOT(onSigMsgEngineConnectResult(int)));
    m_serviceResult = result;
    if (m_exiting)
        return;
    if (result == 0) {
        takeClassMessages();
        m_failureCount = 0;
        m_pendingSteps &= ~static_cast<unsigned int>(WebSocket_Link);
        m_checkTimer.start(kRetryDelayMs);
        return;
    }
    ClassMsgEngine::destroyInstance();
    ++m_failureCount;
    handleEntryResult(false);
}

void PublicClassRoom::takeClassMessages()
{
    m_form->teacher_video->setControlVisible(false);
    m_form->teacher_video->setMicVisible(false);
    if (PublicMsgInterface* messages = ClassMsgEngine::getPublicMsgInterface()) {
        disconnect(messages, nullptr, this, nullptr);
        connect(messages, &PublicMsgInterface::sigReceiveMsgTeacherMuteAudio, this,
                &PublicClassRoom::onReceiveMsgTeacherMuteAudioToAllStudent);
    }
    if (StudentMsgInterface* messages = ClassMsgEngine::getStudentMsgInterface()) {
        disconnect(messages, nullptr, this, nullptr);
        connect(messages, &StudentMsgInterface::sigReceiveMsgTeacherLeaveClass, this,
                &PublicClassRoom::onWebSocket_ReceiveMsg_TeacherLeaveClass);
        connect(messages, &StudentMsgInterface::sigReceiveMsgTeacherEnableScreenShare, this,
                &PublicClassRoom::onReceiveMsgTeacherEnableScreenShare);
    }
}

void PublicClassRoom::handleEntryResult(bool ok)
{
    if (ok)
        return;
    if (m_failureCount <= kRetryOffers)
        showRetryDialog();
    else
        endEntryWithError();
}

void PublicClassRoom::showRetryDialog()
{
    auto* dialog = new TryWarningDlg(this);
    dialog->setTitle(m_failureTitle);
    dialog->setContent(m_failureDetail);
    QPointer<TryWarningDlg> finished = dialog;
    dialog->setDoneCallback(
        [this, finished](QObject* context, int result) {
            if (finished)
                finished->deleteLater();
            if (!context)
                return;
            if (result == TryWarningDlg::ResultRetry) {
                m_waitingDlg.startWaiting(m_waitingText, true, kWaitingLimitMs);
                m_checkTimer.start(kRetryDelayMs);
            } else if (result == TryWarningDlg::ResultClose) {
                m_entryGivenUp = true;
                m_channel->leaveChannel();
                ExitMe();
            }
        },
        this);
    // Shown also while the device re-check holds the room's dialogs.
    m_modalDialog.openPrompt(dialog);
}

void PublicClassRoom::endEntryWithError()
{
    if (const int deviceType = PublicEntryPlan::reportedDeviceType(m_currentStep))
        ZmNetAPI::instance()->AddUserDevcieInfo(deviceType, 1, QString());
    m_entryGivenUp = true;
    m_channel->leaveChannel();
    auto* dialog = new ErrorDlg(this);
    dialog->setErrorCode(m_currentStep, 0, m_serviceResult);
    exitOnAcknowledge(dialog);
    m_modalDialog.openPrompt(dialog);
}

void PublicClassRoom::makeWhiteboardUrl()
{
    const QString url = buildWhiteboardUrl();
    qInfo().noquote() << "Whiteboard url = " + SecretMask::maskSecrets(url);
    whiteboard()->loadUrl(url);
}
