#include "shared/CShareFrameReader.h"

#include "shared/CShareMemory.h"
#include "shared/ShareFrameLayout.h"
#include "shared/ShareLock.h"
#include "shared/ShareLog.h"
#include "shared/ShareNames.h"

#include <algorithm>
#include <cstring>

std::unique_ptr<CShareFrameReader> CShareFrameReader::create(const char* name)
{
    auto reader = std::make_unique<CShareFrameReader_imp>();
    if (!reader->open(name))
        return nullptr;
    return reader;
}

CShareFrameReader_imp::CShareFrameReader_imp()
    : m_lock(std::make_unique<ShareLock>())
{
    resetLastHeader();
}

CShareFrameReader_imp::~CShareFrameReader_imp()
{
    close();
}

bool CShareFrameReader_imp::open(const char* name)
{
    close();
    if (!name || !*name || std::strlen(name) > kMaxShareSectionNameLength)
        return false;
    if (!m_lock->open(shareLockName(name).c_str()))
        return false;
    auto memory = std::make_unique<CShareMemory>();
    if (!memory->open(name) || memory->size() < kShareMinSectionSize)
        return false;
    m_memory = std::move(memory);
    return true;
}

const ShareFrame* CShareFrameReader_imp::lock(unsigned timeoutMs, bool onlyNew)
{
    if (!m_memory || !m_lock->wait(timeoutMs))
        return nullptr;
    // The section may have been cut since it was mapped: pages past its end fault when touched.
    const size_t readable = std::min(m_memory->size(), m_memory->currentSize());
    if (readable < kShareHeaderCopyBytes) {
        m_lock->set();
        reportBadFrame("section is smaller than its header (" + std::to_string(readable) + " bytes)");
        return nullptr;
    }
    // Everything below is decided on this copy, never on the section again.
    unsigned char copy[kShareHeaderCopyBytes];
    std::memcpy(copy, m_memory->data(), sizeof(copy));
    ShareFrameHeader header;
    std::memcpy(&header, copy, sizeof(header));
    if (header.version == kShareVersionNone || (onlyNew && header.version == lastVersion())) {
        m_lock->set();
        return nullptr;
    }
    const ShareFrameCheck check = checkShareFrame(header, readable);
    if (check != ShareFrameCheck::Ok) {
        m_lock->set();
        reportBadFrame(std::string(describeShareFrameCheck(check)) + " (" + std::to_string(header.width) + "x" +
                       std::to_string(header.height) + ", format " + std::to_string(header.format) + ", " +
                       std::to_string(readable) + " bytes readable)");
        return nullptr;
    }
    std::memcpy(m_lastHeader, copy, sizeof(copy));
    m_frame.header = header;
    m_frame.pixels = static_cast<const uint8_t*>(m_memory->data()) + kSharePixelOffset;
    m_frame.pixelBytes = size_t(packedYuv420Bytes(header.width, header.height));
    return &m_frame;
}

void CShareFrameReader_imp::reportBadFrame(const std::string& reason)
{
    if (m_reportedBadFrame)
        return;
    m_reportedBadFrame = true;
    shareLog(ShareLogLevel::Error, std::string("shared frame section ") + m_memory->name() + ": " + reason);
}

void CShareFrameReader_imp::unlock()
{
    m_lock->set();
}

void CShareFrameReader_imp::close()
{
    m_lock->close();
    m_memory.reset();
    m_frame = ShareFrame();
    m_reportedBadFrame = false;
    resetLastHeader();
}

size_t CShareFrameReader_imp::mappedSize() const
{
    return m_memory ? m_memory->size() : 0;
}

bool CShareFrameReader_imp::hasSection() const
{
    return m_memory != nullptr;
}

uint32_t CShareFrameReader_imp::lastVersion() const
{
    uint32_t version;
    std::memcpy(&version, m_lastHeader + offsetof(ShareFrameHeader, version), sizeof(version));
    return version;
}

void CShareFrameReader_imp::resetLastHeader()
{
    std::memset(m_lastHeader, 0, sizeof(m_lastHeader));
    const uint32_t none = kShareVersionNone;
    std::memcpy(m_lastHeader + offsetof(ShareFrameHeader, version), &none, sizeof(none));
}
