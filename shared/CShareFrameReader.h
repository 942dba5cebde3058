#pragma once

#include "shared/ShareFrameHeader.h"

#include <cstddef>
#include <memory>
#include <string>

class CShareMemory;
class ShareLock;

// A frame as a reader hands it out. The header is the copy that passed the checks: the section's own header may
// change meanwhile under a writer that does not wait for the lock, so nothing of the frame is read from it again.
struct ShareFrame
{
    ShareFrameHeader header = {};
    // The packed planes of header's format, width and height (packedYuv420Bytes()), in the section.
    const uint8_t* pixels = nullptr;
    // The bytes the planes take at pixels; all of them lay inside the section when it was locked.
    size_t pixelBytes = 0;
};

// The plug-in's side of one shared frame section: opens the section and its lock by the section name, never
// creates or writes them. Used on one thread.
class CShareFrameReader
{
public:
    // An open reader, or null when the name is refused or the section or its lock does not exist (yet).
    static std::unique_ptr<CShareFrameReader> create(const char* name);

    // Takes the lock (waiting at most timeoutMs) and returns the frame of the section, valid until unlock(). A
    // section without a frame yet gives null, and so does, with onlyNew, a frame whose version was handed out
    // before. A frame that does not pass checkShareFrame() against the smaller of this reader's mapping and the
    // section's size now (another process may have shrunk it) gives null too, logged once per reader. On null
    // the lock is not held; otherwise the caller reads and then calls unlock().
    virtual const ShareFrame* lock(unsigned timeoutMs, bool onlyNew) = 0;
    virtual void unlock() = 0;
    // Gives a held lock back, closes lock and section, and forgets the last version seen.
    virtual void close() = 0;
    virtual ~CShareFrameReader() = default;
};

class CShareFrameReader_imp : public CShareFrameReader
{
public:
    CShareFrameReader_imp();
    ~CShareFrameReader_imp() override; // close()

    // close(), then the lock (a missing lock fails without trying the section), then the section, which must
    // hold at least the 64 header bytes.
    bool open(const char* name);

    const ShareFrame* lock(unsigned timeoutMs, bool onlyNew) override;
    void unlock() override;
    void close() override;

    size_t mappedSize() const;
    bool hasSection() const;
    // The first 64 bytes of the section as last handed out (the reset state after construction and close()).
    const unsigned char* lastHeader() const { return m_lastHeader; }
    uint32_t lastVersion() const;

private:
    void resetLastHeader();
    // Logs a refused frame, the first time for this reader.
    void reportBadFrame(const std::string& reason);

    std::unique_ptr<CShareMemory> m_memory;
    std::unique_ptr<ShareLock> m_lock;
    unsigned char m_lastHeader[kShareHeaderCopyBytes];
    ShareFrame m_frame;
    bool m_reportedBadFrame = false;
};
