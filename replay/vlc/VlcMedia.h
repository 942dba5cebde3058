#pragma once

#include <QObject>
#include <QString>

class VlcInstance;
struct libvlc_media_t;

// One medium for a player: an address ("http://...", "file:///...") or a local file path.
class VlcMedia : public QObject
{
    Q_OBJECT

public:
    // A text with a scheme of two or more letters before "://" is an address; anything else is a local path.
    VlcMedia(const QString& location, VlcInstance* instance, QObject* parent = nullptr);
    ~VlcMedia() override;

    bool isValid() const { return m_core != nullptr; }
    libvlc_media_t* core() const { return m_core; }
    QString location() const { return m_location; }

    // Length in milliseconds; -1 while libvlc does not know it (before the medium was opened).
    qint64 duration() const;

    static bool isAddress(const QString& location);

private:
    QString m_location;
    libvlc_media_t* m_core = nullptr;
};
