#include "live/rtc/CAgoraPlayoutManager.h"

#include "live/rtc/DeviceCollections.h"
#include "live/rtc/engine/IRtcEngine.h"

#include <QCoreApplication>

using namespace agora::rtc;
using namespace DeviceCollections;

namespace {

constexpr int kLowestSelectedVolume = 127;

} // namespace

CAgoraPlayoutManager::~CAgoraPlayoutManager()
{
    Close();
}

bool CAgoraPlayoutManager::Create(IRtcEngine* engine)
{
    Close();
    void* manager = nullptr;
    if (!engine || engine->queryInterface(AGORA_IID_AUDIO_DEVICE_MANAGER, &manager) != 0 || !manager)
        return false;
    m_manager = static_cast<IAudioDeviceManager*>(manager);
    m_collection = m_manager->enumeratePlaybackDevices();
    if (!m_collection) {
        Close();
        return false;
    }
    return true;
}

void CAgoraPlayoutManager::Close()
{
    TestPlaybackDevice(QString(), false);
    if (m_collection)
        m_collection->release();
    m_collection = nullptr;
    if (m_manager)
        m_manager->release();
    m_manager = nullptr;
}

int CAgoraPlayoutManager::GetDeviceCount()
{
    return countOf(m_collection);
}

bool CAgoraPlayoutManager::GetDevice(int index, QString& name, QString& id)
{
    return deviceAt(m_collection, index, name, id);
}

QString CAgoraPlayoutManager::GetCurDeviceID()
{
    if (!m_manager)
        return QString();
    return currentDeviceOf([this](char* id) { return m_manager->getPlaybackDevice(id); });
}

bool CAgoraPlayoutManager::SetCurDevice(const QString& id)
{
    if (!m_manager || m_manager->setPlaybackDevice(IdBuffer(id.toUtf8()).text()) != 0)
        return false;
    int volume = 0;
    if (m_manager->getPlaybackDeviceVolume(&volume) == 0 && volume < kLowestSelectedVolume)
        m_manager->setPlaybackDeviceVolume(kLowestSelectedVolume);
    return true;
}

bool CAgoraPlayoutManager::SetVolume(int volume)
{
    return m_manager && m_manager->setPlaybackDeviceVolume(volume) == 0;
}

void CAgoraPlayoutManager::TestPlaybackDevice(const QString& relativePath, bool on)
{
    if (!m_manager)
        return;
    if (on && !m_testing) {
        const QByteArray path = (QCoreApplication::applicationDirPath() + relativePath).toUtf8();
        m_manager->startPlaybackDeviceTest(path.constData());
    } else if (!on && m_testing) {
        m_manager->stopPlaybackDeviceTest();
    }
    m_testing = on;
}
