#include "app/LogQueue.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::uint64_t kWritten = std::uint64_t(1) << 63;
constexpr std::uint64_t kPadding = std::uint64_t(1) << 62;
constexpr std::uint64_t kSizeMask = 0xFFFFFFFFu;
// The state word (size and flags), the thread that queued the entry, the two sizes, the time.
constexpr std::size_t kHeaderWords = 4;

// Identifies the calling thread; usable in a signal handler.
std::uint64_t threadToken()
{
    return std::uint64_t(ExclusiveRole::currentThread());
}

std::uint64_t loadState(const std::uint64_t* word)
{
    return __atomic_load_n(word, __ATOMIC_ACQUIRE);
}

void storeState(std::uint64_t* word, std::uint64_t state)
{
    __atomic_store_n(word, state, __ATOMIC_RELEASE);
}

constexpr std::uint64_t roundUp8(std::uint64_t size)
{
    return (size + 7) & ~std::uint64_t(7);
}

// The ring the calling thread queues into, and the tail it saw there last.
struct ThreadRing
{
    const void* queue = nullptr;
    int index = 0;
    std::uint64_t seenTail = 0;
};
thread_local ThreadRing t_threadRing;

} // namespace

// One ring: producers reserve at the head with a compare-and-swap; the consumer frees entries at the tail and
// zeroes their words, so that a word that starts an entry reads 0 until the entry's state is written.
class LogQueue::Ring
{
public:
    void allocate(std::size_t capacity)
    {
        m_capacity = roundUp8(capacity);
        // Zeroed memory that the system hands out untouched: a ring no thread uses costs nothing.
        m_words.reset(static_cast<std::uint64_t*>(std::calloc(m_capacity / 8, sizeof(std::uint64_t))));
        if (!m_words)
            m_capacity = 0; // no room: every push fails, and lines wait for the lock instead
    }

    bool push(std::int64_t time, const char* line, std::size_t lineSize, const char* record, std::size_t recordSize,
              std::uint64_t& seenTail, std::size_t* usedBytes)
    {
        const bool recordIsLine = record == line && recordSize == lineSize + 1;
        const std::uint64_t size = roundUp8(kHeaderWords * 8 + lineSize + recordSize - (recordIsLine ? lineSize : 0));
        if (size > m_capacity / 2)
            return false;
        std::uint64_t head = m_head.load(std::memory_order_relaxed);
        std::uint64_t reserved = 0;
        for (;;) {
            // An entry doesn't wrap: the rest of the ring becomes padding when it doesn't fit there.
            const std::uint64_t tillEnd = m_capacity - head % m_capacity;
            reserved = size <= tillEnd ? size : tillEnd + size;
            if (head + reserved - seenTail > m_capacity) {
                seenTail = m_tail.load(std::memory_order_acquire);
                if (head + reserved - seenTail > m_capacity)
                    return false;
            }
            if (m_head.compare_exchange_weak(head, head + reserved, std::memory_order_seq_cst,
                                             std::memory_order_relaxed))
                break;
        }
        if (usedBytes)
            *usedBytes = std::size_t(head + reserved - seenTail);
        if (reserved != size) {
            storeState(wordAt(head), (reserved - size) | kWritten | kPadding);
            head += reserved - size;
        }
        std::uint64_t* entry = wordAt(head);
        entry[1] = threadToken();
        entry[2] = std::uint64_t(lineSize) | std::uint64_t(recordIsLine ? 0 : recordSize) << 32;
        entry[3] = std::uint64_t(time);
        storeState(entry, size);
        char* bytes = reinterpret_cast<char*>(entry + kHeaderWords);
        if (recordIsLine) {
            std::memcpy(bytes, line, recordSize);
        } else {
            std::memcpy(bytes, line, lineSize);
            std::memcpy(bytes + lineSize, record, recordSize);
        }
        storeState(entry, size | kWritten);
        return true;
    }

    bool isEmpty() const { return m_head.load() == m_tail.load(std::memory_order_relaxed); }

    int threads() const { return m_threads.load(std::memory_order_relaxed); }
    void addThread() { m_threads.fetch_add(1, std::memory_order_relaxed); }

    // Takes a look at the head for the consumer's pass: front() sees the entries reserved before.
    void beginPass() { m_passHead = m_head.load(); }

    // The oldest entry when it is written (padding is freed on the way); with skipOwn, an entry the calling
    // thread left unfinished is freed too. False when the ring is empty or its oldest entry is being written.
    bool front(Line& line, std::int64_t& time, bool skipOwn)
    {
        const std::uint64_t head = m_passHead;
        while (m_tail.load(std::memory_order_relaxed) < head) {
            std::uint64_t* entry = wordAt(m_tail.load(std::memory_order_relaxed));
            const std::uint64_t state = loadState(entry);
            const bool unfinishedOwn =
                !(state & kWritten) && skipOwn && (state & kSizeMask) != 0 && entry[1] == threadToken();
            if (!(state & kWritten) && !unfinishedOwn)
                return false;
            if ((state & kPadding) || unfinishedOwn) {
                popFront();
                continue;
            }
            const char* bytes = reinterpret_cast<const char*>(entry + kHeaderWords);
            const std::size_t lineSize = std::size_t(entry[2] & kSizeMask);
            const std::size_t recordSize = std::size_t(entry[2] >> 32);
            line = Line{bytes, lineSize, recordSize ? bytes + lineSize : bytes, recordSize ? recordSize : lineSize + 1};
            time = std::int64_t(entry[3]);
            return true;
        }
        return false;
    }

    void popFront()
    {
        const std::uint64_t tail = m_tail.load(std::memory_order_relaxed);
        std::uint64_t* entry = wordAt(tail);
        const std::uint64_t size = loadState(entry) & kSizeMask;
        std::memset(entry + 1, 0, std::size_t(size) - sizeof *entry);
        storeState(entry, 0);
        m_tail.store(tail + size, std::memory_order_release);
    }

private:
    std::uint64_t* wordAt(std::uint64_t position) const { return &m_words[position % m_capacity / 8]; }

    std::size_t m_capacity = 0; // a multiple of 8
    struct Free
    {
        void operator()(std::uint64_t* words) const { std::free(words); }
    };
    std::unique_ptr<std::uint64_t[], Free> m_words;
    std::atomic<int> m_threads{0};
    // Positions in bytes since the start. Each on its own cache line.
    alignas(64) std::atomic<std::uint64_t> m_head{0};
    alignas(64) std::atomic<std::uint64_t> m_tail{0};
    std::uint64_t m_passHead = 0; // the consumer's
};

LogQueue::LogQueue(std::size_t ringCapacity, int rings)
    : m_ringCount(std::clamp(rings, 1, 32))
    , m_rings(new Ring[std::size_t(m_ringCount)])
{
    for (int i = 0; i < m_ringCount; ++i)
        m_rings[std::size_t(i)].allocate(ringCapacity);
}

LogQueue::~LogQueue() = default;

bool LogQueue::push(std::int64_t time, const char* line, std::size_t lineSize, const char* record,
                    std::size_t recordSize, std::size_t* usedBytes)
{
    ThreadRing& mine = t_threadRing;
    if (mine.queue != this) {
        // The ring that has had the fewest threads so far; the tail is read on the first push.
        int index = 0;
        for (int i = 1; i < m_ringCount; ++i) {
            if (m_rings[std::size_t(i)].threads() < m_rings[std::size_t(index)].threads())
                index = i;
        }
        m_rings[std::size_t(index)].addThread();
        mine = ThreadRing{this, index, 0};
    }
    const int index = mine.index;
    if (!m_rings[std::size_t(index)].push(time, line, lineSize, record, recordSize, mine.seenTail, usedBytes))
        return false;
    // After the reservation: a consumer that clears the bit looks at the ring after that (consume).
    const std::uint32_t bit = std::uint32_t(1) << index;
    if (!(m_nonEmptyRings.load() & bit))
        m_nonEmptyRings.fetch_or(bit);
    return true;
}

template <typename Visit> void LogQueue::consume(Visit&& visit, bool skipOwn)
{
    const std::uint32_t rings = m_nonEmptyRings.load();
    // The rings whose oldest entry is ready, each with that entry.
    Line fronts[32];
    std::int64_t times[32];
    std::uint32_t ready = 0;
    for (int i = 0; i < m_ringCount; ++i) {
        if (!(rings & (std::uint32_t(1) << i)))
            continue;
        m_rings[std::size_t(i)].beginPass();
        if (m_rings[std::size_t(i)].front(fronts[i], times[i], skipOwn))
            ready |= std::uint32_t(1) << i;
    }
    while (ready) {
        int oldest = -1;
        for (int i = 0; i < m_ringCount; ++i) {
            if ((ready & (std::uint32_t(1) << i)) && (oldest < 0 || times[i] < times[oldest]))
                oldest = i;
        }
        visit(fronts[oldest]);
        Ring& ring = m_rings[std::size_t(oldest)];
        ring.popFront();
        if (!ring.front(fronts[oldest], times[oldest], skipOwn))
            ready &= ~(std::uint32_t(1) << oldest);
    }
    // A ring found empty loses its bit; one that got an entry meanwhile keeps it (its producer looks at the bit
    // after its reservation, this looks at the ring after clearing the bit).
    for (int i = 0; i < m_ringCount; ++i) {
        const std::uint32_t bit = std::uint32_t(1) << i;
        if (!(rings & bit) || !m_rings[std::size_t(i)].isEmpty())
            continue;
        m_nonEmptyRings.fetch_and(~bit);
        if (!m_rings[std::size_t(i)].isEmpty())
            m_nonEmptyRings.fetch_or(bit);
    }
}

bool LogQueue::takeAll(Take take, void* context)
{
    if (isEmpty())
        return true;
    if (!m_consumer.tryTake())
        return false;
    consume([take, context](const Line& line) { take(context, line); }, false);
    m_consumer.give();
    return true;
}

bool LogQueue::beginExit(int waitMs)
{
    return m_consumer.takeForExit(waitMs);
}

void LogQueue::writeRecordsForExit(Write write, void* context)
{
    // Every ring, whatever its bit says.
    m_nonEmptyRings.store(m_ringCount == 32 ? ~std::uint32_t(0) : (std::uint32_t(1) << m_ringCount) - 1);
    consume([write, context](const Line& line) { write(context, line.record, line.recordSize); }, true);
}

void LogQueue::endExit()
{
    m_consumer.giveAfterExit();
}
