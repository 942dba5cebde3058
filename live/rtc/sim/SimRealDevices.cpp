#include "live/rtc/sim/SimRealDevices.h"

#include "live/rtc/sim/RealDeviceWorker.h"

#include <QCoreApplication>
#include <QDebug>
#include <QThread>

#include <chrono>
#include <future>

namespace {

constexpr auto kBlockingCallLimit = std::chrono::seconds(5);

std::mutex& sharedMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<SimRealDevices>& sharedInstance()
{
    static std::shared_ptr<SimRealDevices> instance;
    return instance;
}

// Stops the devices' thread while the application object still exists.
void stopSharedDevices()
{
    std::lock_guard<std::mutex> lock(sharedMutex());
    if (sharedInstance())
        sharedInstance()->stop();
}

} // namespace

std::shared_ptr<SimMediaSource> SimRealDevices::shared()
{
    std::lock_guard<std::mutex> lock(sharedMutex());
    if (!sharedInstance()) {
        if (!QCoreApplication::instance()) {
            qWarning() << "SimRealDevices no application object: the engine uses simulated devices";
            return nullptr;
        }
        sharedInstance() = std::make_shared<SimRealDevices>();
        qAddPostRoutine(stopSharedDevices);
    }
    return sharedInstance();
}

SimRealDevices::SimRealDevices()
    : m_thread(new QThread)
    , m_worker(new RealDeviceWorker)
{
    m_thread->setObjectName(QStringLiteral("rtc-devices"));
    m_worker->moveToThread(m_thread);
    // The worker's Qt objects end on their own thread, as the thread's loop finishes.
    QObject::connect(
        m_thread, &QThread::finished, m_worker, [worker = m_worker] { delete worker; }, Qt::DirectConnection);
    m_thread->start();
}

SimRealDevices::~SimRealDevices()
{
    stop();
}

void SimRealDevices::stop()
{
    if (!m_thread)
        return;
    m_thread->quit();
    if (!m_thread->wait(5000)) {
        qWarning() << "SimRealDevices the devices' thread does not end";
        return;
    }
    delete m_thread;
    m_thread = nullptr;
    m_worker = nullptr;
}

void SimRealDevices::run(std::function<void()> fn, bool wait)
{
    if (!m_worker)
        return;
    if (!wait) {
        QMetaObject::invokeMethod(m_worker, std::move(fn), Qt::QueuedConnection);
        return;
    }
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    QMetaObject::invokeMethod(
        m_worker,
        [fn = std::move(fn), done] {
            fn();
            done->set_value();
        },
        Qt::QueuedConnection);
    if (finished.wait_for(kBlockingCallLimit) != std::future_status::ready)
        qWarning() << "SimRealDevices a device call did not finish in time";
}

std::vector<SimDeviceSpec> SimRealDevices::devices(SimDeviceKind kind)
{
    auto result = std::make_shared<std::vector<SimDeviceSpec>>();
    auto resultMutex = std::make_shared<std::mutex>();
    run(
        [kind, result, resultMutex] {
            std::vector<SimDeviceSpec> listed = RealDeviceWorker::list(kind);
            std::lock_guard<std::mutex> lock(*resultMutex);
            *result = std::move(listed);
        },
        true);
    std::lock_guard<std::mutex> lock(*resultMutex);
    return *result;
}

void SimRealDevices::setCameraActive(const std::string& id, bool on)
{
    std::lock_guard<std::mutex> lock(m_countMutex);
    m_cameraUsers = std::max(0, m_cameraUsers + (on ? 1 : -1));
    RealDeviceWorker* worker = m_worker;
    const QString camera = QString::fromStdString(id);
    if (on)
        run([worker, camera] { worker->startCamera(camera); }, false);
    else if (m_cameraUsers == 0)
        run([worker] { worker->stopCamera(); }, false);
}

bool SimRealDevices::latestCameraFrame(I420Frame& out)
{
    return m_worker && m_worker->latestCameraFrame(out);
}

void SimRealDevices::setMicrophoneActive(const std::string& id, bool on)
{
    std::lock_guard<std::mutex> lock(m_countMutex);
    m_microphoneUsers = std::max(0, m_microphoneUsers + (on ? 1 : -1));
    RealDeviceWorker* worker = m_worker;
    const QString microphone = QString::fromStdString(id);
    if (on)
        run([worker, microphone] { worker->startMicrophone(microphone); }, false);
    else if (m_microphoneUsers == 0)
        run([worker] { worker->stopMicrophone(); }, false);
}

int SimRealDevices::microphoneLevel()
{
    return m_worker ? m_worker->microphoneLevel() : 0;
}

bool SimRealDevices::setPlaybackTest(const std::string& speakerId, const QString& path, bool on)
{
    RealDeviceWorker* worker = m_worker;
    if (!on) {
        run([worker] { worker->stopPlayback(); }, false);
        return true;
    }
    auto started = std::make_shared<std::atomic<bool>>(false);
    const QString speaker = QString::fromStdString(speakerId);
    run([worker, speaker, path, started] { started->store(worker->startPlayback(speaker, path)); }, true);
    return started->load();
}
