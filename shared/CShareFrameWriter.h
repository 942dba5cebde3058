#pragma once

#include "shared/ShareFrameLayout.h"

#include <cstddef>
#include <memory>

class CShareMemory;
class ShareLock;

// The program's side of one shared frame section: the section and its lock, under a section name (see
// ShareNames.h). Frames are written between lock() and unlock(), on one thread.
class CShareFrameWriter
{
public:
    // Creates (create = true; existing objects are opened instead) or opens the section and its lock. A section
    // made here gets a fresh header (capacity, version kShareVersionNone); an existing one keeps its frame and
    // version. Null when the name is refused, size is below kShareMinSectionSize, or the objects cannot be made.
    static std::unique_ptr<CShareFrameWriter> create(const char* name, bool create, int size);

    // The start of the locked section, or null when the lock was not obtained within timeoutMs.
    virtual void* lock(unsigned timeoutMs) = 0;
    virtual void unlock() = 0;
    // Gives a held lock back, then closes the lock and the section. The objects stay for whoever holds them.
    virtual void close() = 0;
    virtual ~CShareFrameWriter() = default;

    // The real size of the mapped section (0 after close()).
    virtual size_t sectionSize() const = 0;
    // Store a frame into the section while this writer holds the lock (see ShareFrameLayout.h); false when the
    // lock is not held or the frame was dropped.
    virtual bool writeFrame(const I420FrameView& frame) = 0;
    virtual bool writeBlackFrame(int width, int height) = 0;
};

class CShareFrameWriter_Imp : public CShareFrameWriter
{
public:
    CShareFrameWriter_Imp();
    ~CShareFrameWriter_Imp() override; // close()

    bool open(const char* name, bool create, int size);

    void* lock(unsigned timeoutMs) override;
    void unlock() override;
    void close() override;
    size_t sectionSize() const override;
    bool writeFrame(const I420FrameView& frame) override;
    bool writeBlackFrame(int width, int height) override;

private:
    std::unique_ptr<CShareMemory> m_memory;
    std::unique_ptr<ShareLock> m_lock;
};
