#pragma once

#include <QJsonValue>
#include <QStringList>

#include <functional>

// Device types of the unsupported-device lists the class service keeps.
enum UnavailableDeviceType : int
{
    UnavailableDevice_Microphone = 0,
    UnavailableDevice_Speaker = 1,
    UnavailableDevice_Camera = 2,
};

// Appends the name parts of an unsupported-device reply's "data" array to the lists of their types: each
// element's "keyword" split at ",", every part upper-cased and trimmed, empty parts dropped; "type" 0
// microphone, 1 speaker, 2 camera, any other type (or none) dropped. Lists are appended to, never cleared or
// de-duplicated. A "data" that is no array adds nothing.
void appendUnavailableDevices(const QJsonValue& data, QStringList& cameras, QStringList& microphones,
                              QStringList& speakers);

// The unsupported-device lists, fetched once: the first call (of any type) fetches, and every later call
// fetches again until one fetch has succeeded (result 0); after that no request is made.
// Not thread-safe: every caller runs on the GUI thread.
class UnavailableDeviceCache
{
public:
    // Fills the three lists (appending) and returns 0 on success, like ZmNetAPI::getUnavailableDevices.
    using Fetch = std::function<int(QStringList& cameras, QStringList& microphones, QStringList& speakers)>;

    explicit UnavailableDeviceCache(Fetch fetch);

    // The list of the type (UnavailableDeviceType); any other type gives a list that stays empty. A negative
    // type only fills the cache.
    const QStringList& list(int type);
    bool isDone() const { return m_done; }

private:
    Fetch m_fetch;
    QStringList m_lists[3];
    const QStringList m_none;
    bool m_done = false;
};

// The process-wide cache, fetched through ZmNetAPI::getUnavailableDevices with the launch record's user id
// ("-1" when there is none) and token. GUI thread only.
const QStringList& getUnavailableDevicesCached(int type);
