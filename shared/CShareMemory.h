#pragma once

#include <cstddef>

// One named shared memory section, mapped whole for reading and writing. Names are section names (see
// ShareNames.h): at most 127 characters.
class CShareMemory
{
public:
    CShareMemory() = default;
    virtual ~CShareMemory(); // close()

    CShareMemory(const CShareMemory&) = delete;
    CShareMemory& operator=(const CShareMemory&) = delete;

    // Creates the section with size bytes, or opens it when it exists (keeping the size it has).
    bool create(const char* name, size_t size);
    // Opens an existing section. False when there is none, or it is empty.
    bool open(const char* name);
    void close();

    // The mapped view and its real size when it was mapped (0 when closed).
    void* data() const { return m_view; }
    size_t size() const { return m_size; }
    // The section's size now: another process may have changed it since it was mapped. 0 when closed or unknown.
    size_t currentSize() const;
    const char* name() const { return m_name; }
    // True when the last create() made the section (rather than opening an existing one).
    bool isNew() const { return m_isNew; }

private:
    bool map(const char* name, size_t createSize);

    int m_fd = -1;
    void* m_view = nullptr;
    size_t m_size = 0;
    bool m_isNew = false;
    char m_name[128] = {};
};
