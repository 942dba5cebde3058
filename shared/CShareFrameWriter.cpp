#include "shared/CShareFrameWriter.h"

#include "shared/CShareMemory.h"
#include "shared/ShareLock.h"
#include "shared/ShareNames.h"

#include <cstring>

namespace {

// How long creation waits for the lock before it resets the header.
constexpr unsigned kCreateLockTimeoutMs = 100;

} // namespace

std::unique_ptr<CShareFrameWriter> CShareFrameWriter::create(const char* name, bool create, int size)
{
    auto writer = std::make_unique<CShareFrameWriter_Imp>();
    if (!writer->open(name, create, size))
        return nullptr;
    return writer;
}

CShareFrameWriter_Imp::CShareFrameWriter_Imp()
    : m_memory(std::make_unique<CShareMemory>())
    , m_lock(std::make_unique<ShareLock>())
{
}

CShareFrameWriter_Imp::~CShareFrameWriter_Imp()
{
    close();
}

bool CShareFrameWriter_Imp::open(const char* name, bool create, int size)
{
    close();
    if (!name || !*name || std::strlen(name) > kMaxShareSectionNameLength)
        return false;
    if (create && size < int(kShareMinSectionSize))
        return false;
    const std::string lockName = shareLockName(name);
    if (!(create ? m_lock->create(lockName.c_str()) : m_lock->open(lockName.c_str())))
        return false;
    if (!create) {
        if (m_memory->open(name) && m_memory->size() >= kShareMinSectionSize)
            return true;
        close();
        return false;
    }
    // The lock is taken before the section is made, so that a reader never meets a section without a header.
    const bool locked = m_lock->wait(kCreateLockTimeoutMs);
    if (!m_memory->create(name, size_t(size)) || m_memory->size() < kShareMinSectionSize) {
        close();
        return false;
    }
    if (locked) {
        // A section that exists already (a view shown again, or a second user in one view) keeps its frame and
        // version, so that a reader holding it never mistakes a new frame for one it has seen.
        const auto* header = static_cast<const ShareFrameHeader*>(m_memory->data());
        if (m_memory->isNew() || header->capacity != uint32_t(m_memory->size() - kShareMinSectionSize))
            initShareSection(m_memory->data(), m_memory->size());
        m_lock->set();
    }
    return true;
}

void* CShareFrameWriter_Imp::lock(unsigned timeoutMs)
{
    if (!m_memory->data() || !m_lock->wait(timeoutMs))
        return nullptr;
    return m_memory->data();
}

void CShareFrameWriter_Imp::unlock()
{
    m_lock->set();
}

void CShareFrameWriter_Imp::close()
{
    m_lock->close();
    m_memory->close();
}

size_t CShareFrameWriter_Imp::sectionSize() const
{
    return m_memory->size();
}

bool CShareFrameWriter_Imp::writeFrame(const I420FrameView& frame)
{
    return m_lock->isHeld() && storeI420Frame(m_memory->data(), m_memory->size(), frame);
}

bool CShareFrameWriter_Imp::writeBlackFrame(int width, int height)
{
    return m_lock->isHeld() && storeBlackFrame(m_memory->data(), m_memory->size(), width, height);
}
