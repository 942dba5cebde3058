#include "live/frames/WebVideoViewHelper.h"

#include "shared/CShareFrameWriter.h"
#include "shared/ShareLog.h"
#include "shared/ShareNames.h"

#include <QDebug>
#include <QMutexLocker>

#include <climits>
#include <mutex>

namespace {

// Every view's section holds a 640 x 480 picture; its first frame is black at that size.
constexpr int kSectionWidth = 640;
constexpr int kSectionHeight = 480;
// How long a frame waits for the plug-in to let go of a section before it is dropped.
constexpr unsigned kFrameLockTimeoutMs = 100;

// How many helpers of the program hold each section. The last one to let go unlinks its objects. A helper holds a
// name before it makes the section, so a section in use is never unlinked under it.
std::mutex& holdsMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, int>& sectionHolds()
{
    static std::map<std::string, int> holds;
    return holds;
}

void holdSection(const std::string& name)
{
    std::lock_guard<std::mutex> lock(holdsMutex());
    ++sectionHolds()[name];
}

void letGoOfSection(const std::string& name)
{
    std::lock_guard<std::mutex> lock(holdsMutex());
    auto hold = sectionHolds().find(name);
    if (hold == sectionHolds().end() || --hold->second > 0)
        return;
    sectionHolds().erase(hold);
    removeShareObjects(name);
}

I420FrameView frameView(const WebVideoViewHelper::VideoFrame& frame)
{
    I420FrameView view;
    view.width = frame.width;
    view.height = frame.height;
    view.y = static_cast<const uint8_t*>(frame.yBuffer);
    view.u = static_cast<const uint8_t*>(frame.uBuffer);
    view.v = static_cast<const uint8_t*>(frame.vBuffer);
    view.yStride = frame.yStride;
    view.uStride = frame.uStride;
    view.vStride = frame.vStride;
    return view;
}

QString printable(const QString& text)
{
    return QString::fromStdString(printableForLog(text.toUtf8().constData()));
}

} // namespace

WebVideoViewHelper::WebVideoViewHelper(QObject* parent)
    : QObject(parent)
{
}

WebVideoViewHelper::~WebVideoViewHelper()
{
    clearViews();
}

bool WebVideoViewHelper::onWebVideoViewRender(uint uid, VideoFrame& videoFrame)
{
    {
        QMutexLocker locker(&m_mutex);
        const auto view = m_views.find(uid);
        if (view != m_views.end()) {
            WebVideoViewEntry& entry = view->second;
            CShareFrameWriter* writer = openShareBuffer(entry, true, kSectionWidth, kSectionHeight);
            if (!writer || !writer->lock(kFrameLockTimeoutMs))
                return false;
            const bool stored = writer->writeFrame(frameView(videoFrame));
            writer->unlock();
            if (!stored && !entry.reportedDroppedFrame) {
                entry.reportedDroppedFrame = true;
                qWarning().noquote() << "WebVideoViewHelper drops frames of user" << uid << "of" << videoFrame.width
                                     << "x" << videoFrame.height << "(strides" << videoFrame.yStride
                                     << videoFrame.uStride << videoFrame.vStride << "): view" << entry.viewId
                                     << "cannot hold them";
            }
            return stored;
        }
    }
    emit sigWantRenderVideoView(uid);
    return false;
}

CShareFrameWriter* WebVideoViewHelper::openShareBuffer(WebVideoViewEntry& entry, bool create, int width, int height)
{
    QMutexLocker locker(&m_mutex);
    if (entry.writer)
        return entry.writer.get();
    if (width < 1 || height < 1)
        return nullptr;
    const qint64 size = qint64(width) * height * 3 + 64;
    if (size > INT_MAX)
        return nullptr;
    if (entry.sectionName.isEmpty()) {
        const std::string name = shareSectionName(entry.viewId.toStdString());
        if (name.empty())
            return nullptr;
        entry.sectionName = QString::fromStdString(name);
    }
    const std::string name = entry.sectionName.toStdString();
    if (m_heldSections.insert(name).second)
        holdSection(name);
    entry.writer = CShareFrameWriter::create(name.c_str(), create, int(size));
    if (!entry.writer) {
        if (!entry.reportedOpenFailure) {
            entry.reportedOpenFailure = true;
            qWarning().noquote() << "WebVideoViewHelper cannot open the shared section of view" << entry.viewId;
        }
        return nullptr;
    }
    if (entry.writer->lock(kFrameLockTimeoutMs)) {
        entry.writer->writeBlackFrame(width, height);
        entry.writer->unlock();
    }
    return entry.writer.get();
}

void WebVideoViewHelper::clearViews()
{
    QMutexLocker locker(&m_mutex);
    m_views.clear();
    for (const std::string& name : m_heldSections)
        letGoOfSection(name);
    m_heldSections.clear();
}

void WebVideoViewHelper::resetViews()
{
    clearViews();
}

void WebVideoViewHelper::unlinkHeldSections()
{
    std::lock_guard<std::mutex> lock(holdsMutex());
    for (const auto& hold : sectionHolds())
        removeShareObjects(hold.first);
}

QString WebVideoViewHelper::viewIdOf(uint uid) const
{
    QMutexLocker locker(&m_mutex);
    const auto view = m_views.find(uid);
    return view == m_views.end() ? QString() : view->second.viewId;
}

QString WebVideoViewHelper::sectionNameOf(uint uid) const
{
    QMutexLocker locker(&m_mutex);
    const auto view = m_views.find(uid);
    return view == m_views.end() ? QString() : view->second.sectionName;
}

void WebVideoViewHelper::onWebVideoViewShowed(uint uid, QString ppApiID)
{
    qInfo().noquote() << "slotWebPpApiCreated 1" << uid << printable(ppApiID);
    if (!isValidShareViewId(ppApiID.toStdString())) {
        qWarning().noquote() << "WebVideoViewHelper refused view id" << printable(ppApiID) << "of user" << uid
                             << ": only letters, digits, '_' and '-' are allowed";
        return;
    }
    QMutexLocker locker(&m_mutex);
    const auto view = m_views.find(uid);
    if (view != m_views.end()) {
        if (view->second.viewId == ppApiID)
            return;
        m_views.erase(view);
    }
    m_views[uid].viewId = ppApiID;
    qInfo().noquote() << "slotWebPpApiCreated 2" << uid << ppApiID;
}

void WebVideoViewHelper::onWebVideoViewHidden(uint uid, QString ppApiID)
{
    QMutexLocker locker(&m_mutex);
    const auto view = m_views.find(uid);
    if (view != m_views.end() && view->second.viewId == ppApiID)
        m_views.erase(view);
}

void WebVideoViewHelper::onAgoraUserOfflined(uint uid, int reason)
{
    Q_UNUSED(reason)
    {
        QMutexLocker locker(&m_mutex);
        if (m_views.erase(uid) == 0)
            return;
    }
    emit sigWebVideoViewOffline(uid);
}
