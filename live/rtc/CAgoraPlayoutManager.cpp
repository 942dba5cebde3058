#include "live/rtc/CAgoraPlayoutManager.h"

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
    return takePlaybackDevices(m_speakers, engine);
}

void CAgoraPlayoutManager::Close()
{
    TestPlaybackDevice(QString(), false);
    m_speakers.release();
}

int CAgoraPlayoutManager::GetDeviceCount()
{
    return countOf(m_speakers.collection());
}

bool CAgoraPlayoutManager::GetDevice(int index, QString& name, QString& id)
{
    return deviceAt(m_speakers.collection(), index, name, id);
}

QString CAgoraPlayoutManager::GetCurDeviceID()
{
    IAudioDeviceManager* manager = m_speakers.manager();
    return manager ? currentDeviceOf([manager](char* id) { return manager->getPlaybackDevice(id); }) : QString();
}

bool CAgoraPlayoutManager::SetCurDevice(const QString& id)
{
    IAudioDeviceManager* manager = m_speakers.manager();
    if (!manager || manager->setPlaybackDevice(IdBuffer(id.toUtf8()).text()) != 0)
        return false;
    int volume = 0;
    if (manager->getPlaybackDeviceVolume(&volume) == 0 && volume < kLowestSelectedVolume)
        manager->setPlaybackDeviceVolume(kLowestSelectedVolume);
    return true;
}

bool CAgoraPlayoutManager::SetVolume(int volume)
{
    IAudioDeviceManager* manager = m_speakers.manager();
    return manager && manager->setPlaybackDeviceVolume(volume) == 0;
}

void CAgoraPlayoutManager::TestPlaybackDevice(const QString& relativePath, bool on)
{
    IAudioDeviceManager* manager = m_speakers.manager();
    if (!manager)
        return;
    if (on && !m_testing) {
        const QByteArray path = (QCoreApplication::applicationDirPath() + relativePath).toUtf8();
        manager->startPlaybackDeviceTest(path.constData());
    } else if (!on && m_testing) {
        manager->stopPlaybackDeviceTest();
    }
    m_testing = on;
}
