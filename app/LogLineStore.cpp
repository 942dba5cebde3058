#include "app/LogLineStore.h"

#include "platform/ResidentMemory.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {

constexpr std::size_t kMaxLengthBytes = 10;
constexpr int kMaxReadyBlocks = 64;

// The pool: its blocks live until a store takes them (for the rest of the process otherwise).
std::atomic<char*> s_readyBlocks[kMaxReadyBlocks] = {};
std::atomic<int> s_readyCount{0};
std::atomic<int> s_takenBlocks{0};
std::atomic<bool> s_blocksWanted{false};

char* takeReadyBlock()
{
    if (s_readyCount.load(std::memory_order_relaxed) <= 0)
        return nullptr;
    for (std::atomic<char*>& slot : s_readyBlocks) {
        if (!slot.load(std::memory_order_relaxed))
            continue;
        if (char* block = slot.exchange(nullptr, std::memory_order_acquire)) {
            if (s_readyCount.fetch_sub(1, std::memory_order_relaxed) <= 2)
                s_blocksWanted.store(true, std::memory_order_relaxed);
            s_takenBlocks.fetch_add(1, std::memory_order_relaxed);
            return block;
        }
    }
    return nullptr;
}

std::size_t writeLength(char* out, std::size_t size)
{
    std::size_t written = 0;
    while (size >= 0x80) {
        out[written++] = char(0x80 | (size & 0x7F));
        size >>= 7;
    }
    out[written++] = char(size);
    return written;
}

} // namespace

std::size_t LogLineStore::readLength(const char* bytes, std::size_t* position)
{
    std::size_t size = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(bytes[(*position)++]);
        size |= std::size_t(byte & 0x7F) << shift;
        if (byte < 0x80)
            return size;
    }
}

void LogLineStore::append(const char* data, std::size_t size)
{
    char length[kMaxLengthBytes];
    const std::size_t lengthBytes = writeLength(length, size);
    const std::size_t needed = lengthBytes + size;
    // A block shared with a copy is left as the copy sees it.
    if (m_blocks.empty() || m_blocks.back().capacity - m_blocks.back().used < needed ||
        m_blocks.back().bytes.use_count() != 1) {
        Block block;
        block.capacity = std::max(kBlockSize, needed);
        char* ready = block.capacity == kBlockSize ? takeReadyBlock() : nullptr;
        block.bytes.reset(ready ? ready : new char[block.capacity]);
        m_blocks.push_back(std::move(block));
    }
    Block& block = m_blocks.back();
    m_lastLine = block.used;
    std::memcpy(block.bytes.get() + block.used, length, lengthBytes);
    std::memcpy(block.bytes.get() + block.used + lengthBytes, data, size);
    block.used += needed;
    ++m_count;
}

void LogLineStore::prepareBlocks()
{
    // Twice what was taken since the last call, at least two.
    const int wanted = std::min(kMaxReadyBlocks, std::max(2, 2 * s_takenBlocks.exchange(0)));
    for (std::atomic<char*>& slot : s_readyBlocks) {
        if (s_readyCount.load() >= wanted)
            break;
        if (slot.load(std::memory_order_relaxed))
            continue;
        char* block = new char[kBlockSize];
        Platform::makeResident(block, kBlockSize);
        slot.store(block, std::memory_order_release);
        s_readyCount.fetch_add(1);
    }
    s_blocksWanted.store(false, std::memory_order_relaxed);
}

bool LogLineStore::blocksWanted()
{
    return s_blocksWanted.load(std::memory_order_relaxed) && s_blocksWanted.exchange(false);
}

void LogLineStore::clear()
{
    m_blocks.clear();
    m_count = 0;
    m_lastLine = 0;
}

QByteArray LogLineStore::last() const
{
    if (m_blocks.empty())
        return QByteArray();
    const char* bytes = m_blocks.back().bytes.get();
    std::size_t position = m_lastLine;
    const std::size_t size = readLength(bytes, &position);
    return QByteArray(bytes + position, int(size));
}
