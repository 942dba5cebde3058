#include "plugin/ZmPpApiInstance.h"

#include "plugin/FramePainter.h"
#include "shared/CShareFrameReader.h"
#include "shared/ShareLog.h"
#include "shared/ShareNames.h"

namespace {

constexpr int32_t kPollIntervalMs = 50;
constexpr unsigned kLockTimeoutMs = 100;

ZmPpApiInstance* g_current = nullptr;

// Routes the shared frame layer's log lines to the console of the instance that called it.
class CurrentInstance
{
public:
    explicit CurrentInstance(ZmPpApiInstance* instance)
        : m_previous(g_current)
    {
        g_current = instance;
    }
    ~CurrentInstance() { g_current = m_previous; }

private:
    ZmPpApiInstance* m_previous;
};

} // namespace

ZmPpApiInstance::ZmPpApiInstance(PP_Instance instance)
    : pp::Instance(instance)
    , m_pollCallbacks(this)
    , m_painter(std::make_unique<GRAPHICS_2D>(this, &m_viewSize))
{
}

ZmPpApiInstance::~ZmPpApiInstance() = default;

ZmPpApiInstance* ZmPpApiInstance::current()
{
    return g_current;
}

void ZmPpApiInstance::HandleMessage(const pp::Var& message)
{
    if (!message.is_dictionary()) {
        LogToConsole(PP_LOGLEVEL_ERROR, pp::Var("Invalid message!"));
        return;
    }
    const pp::VarDictionary dictionary(message);
    const pp::Var commandKey("command");
    if (!dictionary.HasKey(commandKey))
        return;
    if (dictionary.Get(commandKey).AsString() != "init")
        return;
    const std::string id = dictionary.Get(pp::Var("id")).AsString();
    if (!isValidShareViewId(id)) {
        // An id the shared frame layer refuses makes no reader; once said is enough.
        if (!m_reportedBadId) {
            m_reportedBadId = true;
            LogToConsole(PP_LOGLEVEL_ERROR, pp::Var("Invalid view id \"" + printableForLog(id.c_str()) + "\""));
        }
        m_mappingName.clear();
        return;
    }
    m_mappingName = shareSectionName(id);
}

void ZmPpApiInstance::DidChangeView(const pp::View& view)
{
    m_visible = view.IsVisible();
    if (!m_visible)
        return;
    const pp::Size size = view.GetRect().size();
    if (size != m_viewSize) {
        m_viewSize = size;
        m_painter->Resize(size.width(), size.height(), m_firstResize);
        if (m_firstResize)
            m_firstResize = false;
        else
            grabFrame(false);
    }
    OnDelay_GetFrame(PP_OK);
}

void ZmPpApiInstance::OnDelay_GetFrame(int32_t result)
{
    if (result != PP_OK || !m_visible)
        return;
    if (!m_reader && !m_mappingName.empty()) {
        CurrentInstance scope(this);
        m_reader = CShareFrameReader::create(m_mappingName.c_str());
    }
    grabFrame(true);
    pp::MessageLoop::GetCurrent().PostWork(m_pollCallbacks.NewCallback(&ZmPpApiInstance::OnDelay_GetFrame),
                                           kPollIntervalMs);
}

void ZmPpApiInstance::grabFrame(bool onlyNew)
{
    if (!m_reader)
        return;
    CurrentInstance scope(this);
    if (const ShareFrame* frame = m_reader->lock(kLockTimeoutMs, onlyNew)) {
        m_painter->PushFrame(frame);
        m_reader->unlock();
    }
}
