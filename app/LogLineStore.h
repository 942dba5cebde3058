#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Log lines in their kept form (app/LogText.h), one after another in blocks of 64 KiB: a line costs its bytes and
// one byte for its length (two from 128 bytes on). A copy shares the blocks it has; appending never changes a
// byte that a copy sees, so a copy taken under a lock may be read after the lock is released.
class LogLineStore
{
public:
    void append(const char* data, std::size_t size);
    void clear();

    std::size_t count() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }

    // Calls visit(const char* data, std::size_t size) for each line, oldest first.
    template <typename Visit> void forEach(Visit&& visit) const;

    QByteArray last() const;

    // Bytes a block holds unless one line needs more.
    static constexpr std::size_t kBlockSize = 64 * 1024 - 64;

    // New blocks come ready from a small pool when it has some: a thread that may take its time (the run log's
    // background thread) allocates and touches them beforehand, so that a thread logging a line doesn't take
    // the page faults of fresh memory. prepareBlocks() fills the pool as far as the recent use asks for;
    // blocksWanted() is true (once) after the pool ran low.
    static void prepareBlocks();
    static bool blocksWanted();

private:
    struct Block
    {
        std::shared_ptr<char[]> bytes;
        std::size_t capacity = 0;
        std::size_t used = 0;
    };

    // Decodes the length at *position and moves past it.
    static std::size_t readLength(const char* bytes, std::size_t* position);

    std::vector<Block> m_blocks;
    std::size_t m_count = 0;
    std::size_t m_lastLine = 0; // offset of the last line's length in the last block
};

template <typename Visit> void LogLineStore::forEach(Visit&& visit) const
{
    for (const Block& block : m_blocks) {
        const char* bytes = block.bytes.get();
        for (std::size_t position = 0; position < block.used;) {
            const std::size_t size = readLength(bytes, &position);
            visit(bytes + position, size);
            position += size;
        }
    }
}
